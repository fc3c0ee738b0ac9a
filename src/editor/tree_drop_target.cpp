#include "editor/tree_drop_target.h"

#include <utility>

HRESULT STDMETHODCALLTYPE CTreeDropTarget::QueryInterface(REFIID id, void** object)
{
    if (!object) return E_POINTER;
    if (id == IID_IUnknown || id == IID_IDropTarget) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE CTreeDropTarget::AddRef()
{
    return static_cast<ULONG>(::InterlockedIncrement(&references));
}

ULONG STDMETHODCALLTYPE CTreeDropTarget::Release()
{
    const LONG left = ::InterlockedDecrement(&references);
    if (left == 0) delete this;
    return static_cast<ULONG>(left);
}

DWORD CTreeDropTarget::Effect(POINTL at, DWORD allowed)
{
    if (!host || incoming.Empty() || !host->DropOver(POINT{at.x, at.y}, incoming))
        return DROPEFFECT_NONE;
    // The source keeps what it gave: never a move, which would have Explorer delete the file.
    if (allowed & DROPEFFECT_COPY) return DROPEFFECT_COPY;
    if (allowed & DROPEFFECT_LINK) return DROPEFFECT_LINK;
    return DROPEFFECT_NONE;
}

HRESULT STDMETHODCALLTYPE CTreeDropTarget::DragEnter(IDataObject* data, DWORD, POINTL at,
                                                     DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    // No exception may unwind into the caller, another program's drag loop perhaps.
    try {
        incoming = CIncoming();
        // Read once: the mouse moves many times, and the effect depends on the kind brought.
        transfer::ReadDataObject(data, incoming);
        *effect = Effect(at, *effect);
        return S_OK;
    } catch (...) {
        incoming = CIncoming();
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE CTreeDropTarget::DragOver(DWORD, POINTL at, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    try {
        *effect = Effect(at, *effect);
        return S_OK;
    } catch (...) {
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}

HRESULT STDMETHODCALLTYPE CTreeDropTarget::DragLeave()
{
    incoming = CIncoming();
    if (host) host->DropLeft();
    return S_OK;
}

HRESULT STDMETHODCALLTYPE CTreeDropTarget::Drop(IDataObject*, DWORD, POINTL at, DWORD* effect)
{
    if (!effect) return E_INVALIDARG;
    try {
        *effect = Effect(at, *effect);
        CIncoming dropped = std::move(incoming);
        incoming = CIncoming();
        if (!host) return S_OK;
        host->DropLeft();
        if (*effect != DROPEFFECT_NONE) host->Dropped(POINT{at.x, at.y}, std::move(dropped));
        return S_OK;
    } catch (...) {
        incoming = CIncoming();
        *effect = DROPEFFECT_NONE;
        return E_UNEXPECTED;
    }
}
