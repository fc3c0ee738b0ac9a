// A link item: a main link, further links after a divider text, and an optional popup.
#pragma once

#include "model/item.h"
#include "model/link_icon.h"
#include "model/owned_list.h"

#include <memory>
#include <string>

class CPopup;

class CItemLink : public CItem
{
public:
    // One link: caption and target. Owned by its item.
    class CLink final : public CStreamable
    {
    public:
        std::wstring caption;
        std::wstring url;

        // The texts are taken by value so that callers with temporaries hand them over.
        CLink(std::wstring caption, std::wstring url);

        std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override;
        void WriteChunks(CStructStream& writer) override;
    };

    CLink mainLink;                // its caption is the item's label
    COwnedList<CLink> links;       // further links, in page order
    std::wstring divider;          // written before each further link
    std::unique_ptr<CPopup> popup; // null when the item has no popup
    // The main link's site icon; null when it has none. Shared, never changed: replaced whole.
    std::shared_ptr<const CLinkIcon> icon;

    // Appends the new item to the parent's items.
    explicit CItemLink(CGroup& parent);
    CItemLink(CGroup& parent, const std::wstring& caption, const std::wstring& url);

    std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override;
    void WriteChunks(CStructStream& writer) override;
    virtual ~CItemLink();
    std::uint32_t GetTag() const override;
    void WriteHtml(CStream& stream) const override;
    std::wstring GetLabel() const override;

    // Fills the main link while its URL is empty (returning null); otherwise appends a further
    // link and returns it.
    CLink* AddLink(std::wstring caption, std::wstring url);
    // Removes and destroys a further link of this item; anything else is left alone.
    void RemoveLink(CLink* link);
    // Replaces the popup's content (keeping its number), or creates the popup.
    void SetPopupContent(const std::wstring& content);
};

// The text a link item shows while the mouse is over it.
class CPopup : public CStreamable
{
public:
    CItemLink* parent; // not owned
    std::int32_t id;   // unique within the process; names the popup's element on the page
    std::wstring content;

    // Takes the next number from the popup counter.
    CPopup(CItemLink& parent, const std::wstring& content);

    std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override;
    void WriteChunks(CStructStream& writer) override;
    virtual ~CPopup();
};

// Numbers popups for the whole process: incremented atomically, the first popup gets 1, numbers
// are never reused.
extern volatile std::int32_t popupCounter;
