#include "gui/win32/drop_target.h"

#include <shellapi.h>

#include "gui/win32/dropped_items.h"

namespace tramvek {

namespace {

FORMATETC formatOf(CLIPFORMAT format) {
    return {format, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
}

bool offers(IDataObject* data, CLIPFORMAT format) {
    FORMATETC wanted = formatOf(format);
    return data != nullptr && data->QueryGetData(&wanted) == S_OK;
}

// The medium of `format`, released when it goes out of scope.
struct Medium {
    STGMEDIUM storage{};
    bool valid = false;

    Medium(IDataObject* data, CLIPFORMAT format) {
        FORMATETC wanted = formatOf(format);
        valid = data->GetData(&wanted, &storage) == S_OK && storage.tymed == TYMED_HGLOBAL;
    }
    ~Medium() {
        if (valid) {
            ReleaseStgMedium(&storage);
        }
    }
};

}  // namespace

DropTarget::DropTarget(WindowClient& client, HWND window) : client_(&client), window_(window) {}

HRESULT STDMETHODCALLTYPE DropTarget::QueryInterface(REFIID id, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (IsEqualIID(id, IID_IUnknown) || IsEqualIID(id, IID_IDropTarget)) {
        *object = static_cast<IDropTarget*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE DropTarget::AddRef() {
    return ++references_;
}

ULONG STDMETHODCALLTYPE DropTarget::Release() {
    const ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

DropTarget::Kind DropTarget::kindOf(IDataObject* data) {
    if (offers(data, CF_TEXT)) {
        return Kind::Text;
    }
    return offers(data, CF_HDROP) ? Kind::Files : Kind::None;
}

DWORD DropTarget::effectFor(DWORD keys) const {
    if (offered_ == Kind::None) {
        return DROPEFFECT_NONE;
    }
    // The editor only reads a dropped file: a move would have the shell delete it afterwards.
    if (offered_ == Kind::Files) {
        return DROPEFFECT_COPY;
    }
    return (keys & MK_CONTROL) != 0 ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragEnter(IDataObject* data, DWORD keys, POINTL, DWORD* effect) {
    offered_ = kindOf(data);
    *effect = effectFor(keys);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragOver(DWORD keys, POINTL, DWORD* effect) {
    *effect = effectFor(keys);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::DragLeave() {
    return S_OK;
}

HRESULT STDMETHODCALLTYPE DropTarget::Drop(IDataObject* data, DWORD keys, POINTL, DWORD* effect) {
    offered_ = kindOf(data);
    *effect = effectFor(keys);
    if (client_ == nullptr) {
        return S_OK;
    }
    if (offered_ == Kind::Text) {
        deliverText(data);
    } else if (offered_ == Kind::Files) {
        deliverFiles(data);
    }
    return S_OK;
}

void DropTarget::deliverText(IDataObject* data) {
    const Medium medium(data, CF_TEXT);
    if (!medium.valid) {
        return;
    }
    const std::string text = droppedText(medium.storage.hGlobal);
    if (!text.empty()) {
        const char* items[] = {text.c_str()};
        client_->drop(items, static_cast<int32_t>(text.size()), 1);
    }
}

void DropTarget::deliverFiles(IDataObject* data) {
    const Medium medium(data, CF_HDROP);
    if (!medium.valid) {
        return;
    }
    const std::vector<std::string> paths = droppedFiles(static_cast<HDROP>(medium.storage.hGlobal), window_);
    std::vector<const char*> items;
    for (const std::string& path : paths) {
        items.push_back(path.c_str());
    }
    client_->drop(items.data(), static_cast<int32_t>(items.size()), 0);
}

}  // namespace tramvek
