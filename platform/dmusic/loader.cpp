// CLoader: reads a MIDI file (or memory image) and builds the segment the performance plays.
#include "loader.h"

#include <new>
#include <vector>

#include "module.h"
#include "core/smf/smf_file.h"
#include "segment.h"

namespace {

#ifndef _WIN64
static_assert(sizeof(DMUS_OBJECTDESC) == 848, "DMUS_OBJECTDESC is 848 bytes on Win32");
#endif

HRESULT ReadWholeFile(const WCHAR *pwszPath, std::vector<uint8_t> &bytes) {
    HANDLE hFile =
        CreateFileW(pwszPath, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (hFile == INVALID_HANDLE_VALUE) {
        return DMUS_E_LOADER_FAILEDOPEN;
    }
    LARGE_INTEGER size;
    HRESULT hr = S_OK;
    if (!GetFileSizeEx(hFile, &size) || size.QuadPart > static_cast<LONGLONG>(tw::smf::kMaxFileBytes)) {
        hr = DMUS_E_UNSUPPORTED_STREAM;
    } else {
        bytes.resize(static_cast<size_t>(size.QuadPart));
        DWORD cbRead = 0;
        if (!bytes.empty() && (!ReadFile(hFile, bytes.data(), static_cast<DWORD>(bytes.size()), &cbRead, nullptr) ||
                               cbRead != bytes.size())) {
            hr = DMUS_E_LOADER_FAILEDOPEN;
        }
    }
    CloseHandle(hFile);
    return hr;
}

// Ticks per quarter note for the music-time scale; an SMPTE file counts half a second as a quarter.
uint32_t TicksPerQuarter(const tw::smf::File &file) {
    if (!file.smpte()) {
        return file.division;
    }
    uint32_t ticks = static_cast<uint32_t>(file.smpteFramesPerSecond()) * static_cast<uint32_t>(file.ticksPerFrame());
    return ticks / 2 == 0 ? 1 : ticks / 2;
}

// Damage loses music, so the file is refused; mere irregularities are played as they are.
HRESULT BuildSegment(const std::vector<uint8_t> &bytes, CSegment **ppSegment) {
    tw::smf::File file;
    tw::smf::Status status = tw::smf::ReadSmf(bytes.data(), bytes.size(), file);
    if (status == tw::smf::Status::Empty || status == tw::smf::Status::NotSmf) {
        return DMUS_E_UNSUPPORTED_STREAM;
    }
    if (!file.usable || (status != tw::smf::Status::Ok && status != tw::smf::Status::Irregular)) {
        return DMUS_E_INVALIDFILE;
    }
    tw::sequencer::Segment *pModel = new (std::nothrow) tw::sequencer::Segment();
    if (pModel == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (!pModel->build(file)) {
        delete pModel;
        return DMUS_E_INVALIDFILE;
    }
    *ppSegment = new (std::nothrow) CSegment(pModel, TicksPerQuarter(file));
    if (*ppSegment == nullptr) {
        delete pModel;
        return E_OUTOFMEMORY;
    }
    return S_OK;
}

HRESULT ReadDescribed(const DMUS_OBJECTDESC *pDesc, std::vector<uint8_t> &bytes) {
    if (pDesc->dwValidData & DMUS_OBJ_MEMORY) {
        if (pDesc->pbMemData == nullptr || pDesc->llMemLength < 0 ||
            pDesc->llMemLength > static_cast<LONGLONG>(tw::smf::kMaxFileBytes)) {
            return E_INVALIDARG;
        }
        bytes.assign(pDesc->pbMemData, pDesc->pbMemData + pDesc->llMemLength);
        return S_OK;
    }
    if ((pDesc->dwValidData & (DMUS_OBJ_FILENAME | DMUS_OBJ_FULLPATH)) == 0) {
        return DMUS_E_LOADER_NOFILENAME;
    }
    WCHAR wszPath[DMUS_MAX_FILENAME + 1];
    lstrcpynW(wszPath, pDesc->wszFileName, DMUS_MAX_FILENAME + 1);
    if (wszPath[0] == L'\0') {
        return DMUS_E_LOADER_NOFILENAME;
    }
    return ReadWholeFile(wszPath, bytes);
}

} // namespace

CLoader::CLoader() {
    ObjectCreated();
}

CLoader::~CLoader() {
    ObjectDestroyed();
}

void *CLoader::InterfaceFor(REFIID riid) {
    return tw::com::IsAnyOf(riid, {&IID_IDirectMusicLoader, &IID_IDirectMusicLoader8})
               ? static_cast<IDirectMusicLoader8 *>(this)
               : nullptr;
}

STDMETHODIMP CLoader::GetObject(LPDMUS_OBJECTDESC pDesc, REFIID riid, LPVOID *ppv) {
    if (pDesc == nullptr || ppv == nullptr) {
        return E_POINTER;
    }
    *ppv = nullptr;
    if (pDesc->dwSize < sizeof(DMUS_OBJECTDESC)) {
        return E_INVALIDARG;
    }
    if ((pDesc->dwValidData & DMUS_OBJ_CLASS) == 0) {
        return DMUS_E_LOADER_NOCLASSID;
    }
    if (!IsEqualCLSID(pDesc->guidClass, CLSID_DirectMusicSegment)) {
        return DMUS_E_LOADER_FAILEDCREATE;
    }
    std::vector<uint8_t> bytes;
    HRESULT hr = ReadDescribed(pDesc, bytes);
    CSegment *pSegment = nullptr;
    if (SUCCEEDED(hr)) {
        hr = BuildSegment(bytes, &pSegment);
    }
    if (FAILED(hr)) {
        return hr;
    }
    hr = pSegment->QueryInterface(riid, ppv);
    pSegment->Release();
    return hr;
}

STDMETHODIMP CLoader::LoadObjectFromFile(REFGUID rguidClassID, REFIID iidInterfaceID, WCHAR *pwzFilePath,
                                         void **ppObject) {
    if (pwzFilePath == nullptr) {
        return E_POINTER;
    }
    DMUS_OBJECTDESC desc = {};
    desc.dwSize = sizeof(desc);
    desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FULLPATH;
    desc.guidClass = rguidClassID;
    lstrcpynW(desc.wszFileName, pwzFilePath, DMUS_MAX_FILENAME);
    return GetObject(&desc, iidInterfaceID, ppObject);
}

STDMETHODIMP_(void) CLoader::CollectGarbage() {}

STDMETHODIMP CLoader::SetObject(LPDMUS_OBJECTDESC) {
    return E_NOTIMPL;
}

STDMETHODIMP CLoader::SetSearchDirectory(REFGUID, WCHAR *, WINBOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP CLoader::ScanDirectory(REFGUID, WCHAR *, WCHAR *) {
    return E_NOTIMPL;
}

STDMETHODIMP CLoader::CacheObject(IDirectMusicObject *) {
    return E_NOTIMPL;
}

STDMETHODIMP CLoader::ReleaseObject(IDirectMusicObject *) {
    return E_NOTIMPL;
}

STDMETHODIMP CLoader::ClearCache(REFGUID) {
    return E_NOTIMPL;
}

STDMETHODIMP CLoader::EnableCache(REFGUID, WINBOOL) {
    return E_NOTIMPL;
}

STDMETHODIMP CLoader::EnumObject(REFGUID, DWORD, LPDMUS_OBJECTDESC) {
    return E_NOTIMPL;
}

STDMETHODIMP CLoader::ReleaseObjectByUnknown(IUnknown *) {
    return E_NOTIMPL;
}
