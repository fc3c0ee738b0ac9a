// The tree as an OLE drop target for what browsers and Explorer drag: it reads the data object
// once as it enters, and asks its host where the drop would go while the mouse moves.
#pragma once

#include "editor/data_transfer.h"

#include <windows.h>

#include <oleidl.h>

class IDropHost
{
public:
    virtual ~IDropHost() = default;
    // Highlights the item under the screen point; true when `incoming` may be dropped there.
    virtual bool DropOver(POINT screen, const CIncoming& incoming) = 0;
    // The drag left the tree or was given up: no highlight.
    virtual void DropLeft() = 0;
    // Puts `incoming` where a drop at the point goes.
    virtual void Dropped(POINT screen, CIncoming incoming) = 0;
};

// Reference counted as COM objects are: made with one reference, which its maker releases.
class CTreeDropTarget final : public IDropTarget
{
public:
    explicit CTreeDropTarget(IDropHost& host) : host(&host) {}
    CTreeDropTarget(const CTreeDropTarget&) = delete;
    CTreeDropTarget& operator=(const CTreeDropTarget&) = delete;

    // The host goes: later calls find none and refuse every drop.
    void Detach() { host = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;
    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL at,
                                        DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL at, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL at,
                                   DWORD* effect) override;

private:
    ~CTreeDropTarget() = default;
    // The effect shown for a drop at the point: a copy where one is possible, else none.
    DWORD Effect(POINTL at, DWORD allowed);

    LONG references = 1;
    IDropHost* host; // not owned
    CIncoming incoming;
};
