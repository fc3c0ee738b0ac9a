#include "model/item_link.h"

#include "model/project.h"
#include "model/tags.h"
#include "platform/platform.h"

volatile std::int32_t popupCounter = 0;

CItemLink::CLink::CLink(std::wstring caption, std::wstring url)
    : caption(std::move(caption)), url(std::move(url))
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

CItemLink::CLink* CItemLink::AddLink(std::wstring caption, std::wstring url)
{
    if (mainLink.url.empty()) {
        mainLink.caption = std::move(caption);
        mainLink.url = std::move(url);
        return nullptr;
    }
    CLink* link = new CLink(std::move(caption), std::move(url));
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
