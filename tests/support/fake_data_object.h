// Windows tests: a data object as the shell hands one to a drop target,
// offering byte blocks in global memory (a file list, text).
#pragma once

#include <shlobj.h>
#include <windows.h>

#include <cstring>
#include <map>
#include <string>
#include <vector>

namespace tramvek::test {

inline HGLOBAL globalCopy(const void* bytes, size_t size) {
    HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE, size);
    if (size > 0) {
        std::memcpy(GlobalLock(block), bytes, size);
        GlobalUnlock(block);
    }
    return block;
}

// A file list as the shell hands it over: DROPFILES, then zero-terminated paths, then one more zero.
inline std::vector<char> fileList(const std::vector<std::string>& paths) {
    DROPFILES header{};
    header.pFiles = sizeof header;
    std::vector<char> bytes(sizeof header);
    std::memcpy(bytes.data(), &header, sizeof header);
    for (const std::string& path : paths) {
        bytes.insert(bytes.end(), path.begin(), path.end());
        bytes.push_back('\0');
    }
    bytes.push_back('\0');
    return bytes;
}

// A data object offering byte blocks in global memory; each GetData hands out a
// fresh copy, which the receiver releases.
class FakeData : public IDataObject {
  public:
    void offer(CLIPFORMAT format, std::vector<char> bytes) { blocks_[format] = std::move(bytes); }

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID, void** object) override {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return 2; }
    ULONG STDMETHODCALLTYPE Release() override { return 1; }

    HRESULT STDMETHODCALLTYPE GetData(FORMATETC* format, STGMEDIUM* medium) override {
        if (QueryGetData(format) != S_OK) {
            return DV_E_FORMATETC;
        }
        const std::vector<char>& bytes = blocks_[format->cfFormat];
        medium->tymed = TYMED_HGLOBAL;
        medium->hGlobal = globalCopy(bytes.data(), bytes.size());
        medium->pUnkForRelease = nullptr;
        ++handedOut;
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE QueryGetData(FORMATETC* format) override {
        return (format->tymed & TYMED_HGLOBAL) != 0 && blocks_.count(format->cfFormat) != 0 ? S_OK
                                                                                            : DV_E_FORMATETC;
    }
    HRESULT STDMETHODCALLTYPE GetDataHere(FORMATETC*, STGMEDIUM*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE GetCanonicalFormatEtc(FORMATETC*, FORMATETC*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE SetData(FORMATETC*, STGMEDIUM*, BOOL) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumFormatEtc(DWORD, IEnumFORMATETC**) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DAdvise(FORMATETC*, DWORD, IAdviseSink*, DWORD*) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE DUnadvise(DWORD) override { return E_NOTIMPL; }
    HRESULT STDMETHODCALLTYPE EnumDAdvise(IEnumSTATDATA**) override { return E_NOTIMPL; }

    int handedOut = 0;

  private:
    std::map<CLIPFORMAT, std::vector<char>> blocks_;
};

}  // namespace tramvek::test
