#include "model/item_link.h"

#include "model/project.h"
#include "model/tags.h"
#include "platform/platform.h"

volatile std::int32_t popupCounter = 0;

CItemLink::CLink::CLink(const std::wstring& caption, const std::wstring& url)
    : caption(caption), url(url)
{
}

CItemLink::CItemLink(CGroup& parent) : CItem(parent), mainLink(std::wstring(), std::wstring()) {}

CItemLink::CItemLink(CGroup& parent, const std::wstring& caption, const std::wstring& url)
    : CItem(parent), mainLink(caption, url)
{
}

CItemLink::~CItemLink() = default;

std::uint32_t CItemLink::GetTag() const
{
    return tags::kItemLink;
}

std::wstring CItemLink::GetLabel() const
{
    return mainLink.caption;
}

CItemLink::CLink* CItemLink::AddLink(const std::wstring& caption, const std::wstring& url)
{
    if (mainLink.url.empty()) {
        mainLink.caption = caption;
        mainLink.url = url;
        return nullptr;
    }
    CLink* link = new CLink(caption, url);
    links.Append(link);
    return link;
}

void CItemLink::RemoveLink(CLink* link)
{
    links.Destroy(link);
}

void CItemLink::SetPopupContent(const std::wstring& content)
{
    if (popup) {
        popup->content = content;
    } else {
        popup.reset(new CPopup(*this, content));
    }
}

CPopup::CPopup(CItemLink& parent, const std::wstring& content)
    : parent(&parent), id(platform::AtomicIncrement(&popupCounter)), content(content)
{
}

CPopup::~CPopup() = default;
