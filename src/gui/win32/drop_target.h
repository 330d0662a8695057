#pragma once

#include <ole2.h>

#include "gui/platform.h"

namespace tramvek {

// The window's OLE drop target: accepts text (CF_TEXT) or, failing that, a
// file list (CF_HDROP), always as a copy, and hands the items to the window's
// client. Reference
// counted; deletes itself at count 0.
class DropTarget : public IDropTarget {
  public:
    DropTarget(WindowClient& client, HWND window);
    DropTarget(const DropTarget&) = delete;
    DropTarget& operator=(const DropTarget&) = delete;

    // After this no drop reaches the client.
    void detach() { client_ = nullptr; }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID id, void** object) override;
    ULONG STDMETHODCALLTYPE AddRef() override;
    ULONG STDMETHODCALLTYPE Release() override;

    HRESULT STDMETHODCALLTYPE DragEnter(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragOver(DWORD keys, POINTL where, DWORD* effect) override;
    HRESULT STDMETHODCALLTYPE DragLeave() override;
    HRESULT STDMETHODCALLTYPE Drop(IDataObject* data, DWORD keys, POINTL where, DWORD* effect) override;

  private:
    enum class Kind { None, Text, Files };

    virtual ~DropTarget() = default;
    static Kind kindOf(IDataObject* data);
    DWORD effectFor(DWORD keys) const;
    void deliverText(IDataObject* data);
    void deliverFiles(IDataObject* data);

    ULONG references_ = 1;
    WindowClient* client_;
    HWND window_;
    Kind offered_ = Kind::None;
};

}  // namespace tramvek
