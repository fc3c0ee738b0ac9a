// A form item: a small web form with fields; a select field has options.
#pragma once

#include "model/item.h"
#include "model/owned_list.h"

#include <string>

class CItemForm : public CItem
{
public:
    // One entry of a select field. Owned by its field.
    class COption final : public CStreamable
    {
    public:
        std::wstring text;  // shown in the list
        std::wstring value; // submitted; selected when equal to the field's value

        COption() = default;
        COption(std::wstring text, std::wstring value);

        std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override;
        void WriteChunks(CStructStream& writer) override;
    };

    // One input or select field. Owned by its form.
    class CField : public CStreamable
    {
    public:
        CItemForm* parent; // not owned
        std::int32_t type; // 0 text input, 1 select; other values produce no markup
        std::wstring name;
        std::wstring value;
        std::int32_t size; // written only when greater than 0; -1 means none
        bool hidden = false;
        COwnedList<COption> options;

        // Does not link the field into the form (AddField does).
        CField(CItemForm& parent, std::int32_t type, std::wstring name, std::wstring value,
               std::int32_t size);

        std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override;
        void WriteChunks(CStructStream& writer) override;
        virtual ~CField();

        COption* AddOption(std::wstring text, std::wstring value);
        // Removes and destroys an option of this field; anything else is left alone.
        void RemoveOption(COption* option);
    };

    std::wstring name;
    std::wstring action;
    std::int32_t method = 0; // 0 GET, anything else POST
    COwnedList<CField> fields;

    // Appends the new form to the parent's items.
    explicit CItemForm(CGroup& parent);

    std::int32_t ReadChunk(CStream& source, std::uint32_t tag, std::int32_t length) override;
    void WriteChunks(CStructStream& writer) override;
    virtual ~CItemForm();
    std::uint32_t GetTag() const override;
    void WriteHtml(CStream& stream) const override;
    std::wstring GetLabel() const override;

    CField* AddField(std::int32_t type, std::wstring name, std::wstring value, std::int32_t size);
    // Removes and destroys a field of this form; anything else is left alone.
    void RemoveField(CField* field);
};
