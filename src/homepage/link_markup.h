// The markup of group boxes, link items and popups.
#pragma once

#include <string>

class CGroup;
class CPopup;
class CStream;

void WriteGroup(CStream& stream, const CGroup& group);
// The span whose mouse handlers show and hide the popup.
void OpenPopupSpan(CStream& stream, const CPopup& popup);
void ClosePopupSpan(CStream& stream);
// The popup's hidden block after the page table.
void WritePopupBlock(CStream& stream, const CPopup& popup);
// "quillomere_popup" and the popup's number: ties the span to the block.
std::string PopupElementId(const CPopup& popup);
