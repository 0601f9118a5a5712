#include "recitation/recitation_download_win.h"

#include "base/guards_win.h"
#include "base/wide_text_win.h"
#include "recitation/recitation_rules.h"

#include <shlobj.h>
#include <winhttp.h>

#include <cstdio>
#include <cstdlib>
#include <new>

namespace {

// Resolving and connecting may take a while on a slow line; a server that sends nothing
// for half a minute has stopped.
constexpr int kResolveTimeoutMs = 15000;
constexpr int kConnectTimeoutMs = 15000;
constexpr int kSendTimeoutMs = 30000;
constexpr int kReceiveTimeoutMs = 30000;
// How often the worker tells the dialog how many bytes have come.
constexpr DWORD kProgressPeriodMs = 200;
// How long a cancelled fetch is given to unwind before the worker goes on without it.
constexpr DWORD kAbortGraceMs = 1000;
constexpr DWORD kReadChunk = 64 * 1024;

// One fetch of one file, shared by the worker and the fetch thread (each holds a
// reference); its WinHTTP handles are closed by whichever side comes first. The session
// is the download's, so that the connection to the archive is kept from file to file.
struct FetchJob {
    volatile LONG references = 2;
    CRITICAL_SECTION lock;
    HINTERNET session = nullptr; // not the job's own
    HINTERNET connection = nullptr;
    HINTERNET request = nullptr;
    bool aborted = false;
    std::wstring url;
    std::vector<uint8_t> body;
    volatile LONG64 received = 0;
    FetchResult result;

    FetchJob() { InitializeCriticalSection(&lock); }
    ~FetchJob() { DeleteCriticalSection(&lock); }

    void release() {
        if (InterlockedDecrement(&references) == 0) delete this;
    }
    // Closing a request handle from another thread ends a call blocked on it.
    void closeHandles() {
        EnterCriticalSection(&lock);
        for (HINTERNET* handle : {&request, &connection}) {
            if (*handle) WinHttpCloseHandle(*handle);
            *handle = nullptr;
        }
        LeaveCriticalSection(&lock);
    }
    void abort() {
        EnterCriticalSection(&lock);
        aborted = true;
        LeaveCriticalSection(&lock);
        closeHandles();
    }
    bool wasAborted() {
        EnterCriticalSection(&lock);
        const bool value = aborted;
        LeaveCriticalSection(&lock);
        return value;
    }
    // Keeps a handle where abort() finds it; false (and the handle closed) after an abort.
    bool keep(HINTERNET* slot, HINTERNET handle) {
        EnterCriticalSection(&lock);
        const bool keeping = !aborted;
        if (keeping) *slot = handle;
        LeaveCriticalSection(&lock);
        if (!keeping) WinHttpCloseHandle(handle);
        return keeping;
    }
};

FetchResult failureOf(FetchOutcome outcome, int status = 0, unsigned long error = 0) {
    FetchResult result;
    result.outcome = outcome;
    result.httpStatus = status;
    result.systemError = error;
    return result;
}

// What a failed WinHTTP call means; `receiving` once the body had begun to come.
FetchResult networkFailure(FetchJob& job, DWORD error, bool receiving) {
    if (job.wasAborted() || error == ERROR_WINHTTP_OPERATION_CANCELLED)
        return failureOf(FetchOutcome::Cancelled);
    switch (error) {
    case ERROR_WINHTTP_TIMEOUT: return failureOf(FetchOutcome::TimedOut);
    case ERROR_WINHTTP_CANNOT_CONNECT: return failureOf(FetchOutcome::Refused);
    case ERROR_WINHTTP_NAME_NOT_RESOLVED: return failureOf(FetchOutcome::HostUnknown);
    case ERROR_WINHTTP_INVALID_URL:
    case ERROR_WINHTTP_UNRECOGNIZED_SCHEME: return failureOf(FetchOutcome::BadAddress);
    default: break;
    }
    if (receiving || error == ERROR_WINHTTP_CONNECTION_ERROR ||
        error == ERROR_WINHTTP_INVALID_SERVER_RESPONSE)
        return failureOf(FetchOutcome::CutShort, 0, error);
    return failureOf(FetchOutcome::Network, 0, error);
}

// The announced length of the body, or -1 when none (or an unreadable one) came.
long long contentLength(HINTERNET request) {
    wchar_t text[32] = L"";
    DWORD size = sizeof text;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_CONTENT_LENGTH, WINHTTP_HEADER_NAME_BY_INDEX,
                             text, &size, WINHTTP_NO_HEADER_INDEX))
        return -1;
    wchar_t* end = nullptr;
    const long long length = std::wcstoll(text, &end, 10);
    return end != text && length >= 0 ? length : -1;
}

FetchResult fetchInto(FetchJob& job) {
    URL_COMPONENTSW parts{};
    parts.dwStructSize = sizeof parts;
    parts.dwHostNameLength = static_cast<DWORD>(-1);
    parts.dwUrlPathLength = static_cast<DWORD>(-1);
    parts.dwExtraInfoLength = static_cast<DWORD>(-1);
    if (!WinHttpCrackUrl(job.url.c_str(), 0, 0, &parts) || !parts.lpszHostName ||
        parts.dwHostNameLength == 0 ||
        (parts.nScheme != INTERNET_SCHEME_HTTP && parts.nScheme != INTERNET_SCHEME_HTTPS))
        return failureOf(FetchOutcome::BadAddress);
    const std::wstring host(parts.lpszHostName, parts.dwHostNameLength);
    std::wstring path =
        parts.lpszUrlPath ? std::wstring(parts.lpszUrlPath, parts.dwUrlPathLength) : std::wstring();
    if (parts.lpszExtraInfo) path.append(parts.lpszExtraInfo, parts.dwExtraInfoLength);
    if (path.empty()) path = L"/";

    if (!job.session) return failureOf(FetchOutcome::Network, 0, ERROR_WINHTTP_INTERNAL_ERROR);
    HINTERNET connection = WinHttpConnect(job.session, host.c_str(), parts.nPort, 0);
    if (!connection) return networkFailure(job, GetLastError(), false);
    if (!job.keep(&job.connection, connection)) return failureOf(FetchOutcome::Cancelled);
    HINTERNET request = WinHttpOpenRequest(
        connection, L"GET", path.c_str(), nullptr, WINHTTP_NO_REFERER, WINHTTP_DEFAULT_ACCEPT_TYPES,
        parts.nScheme == INTERNET_SCHEME_HTTPS ? WINHTTP_FLAG_SECURE : 0);
    if (!request) return networkFailure(job, GetLastError(), false);
    if (!job.keep(&job.request, request)) return failureOf(FetchOutcome::Cancelled);

    if (!WinHttpSendRequest(request, WINHTTP_NO_ADDITIONAL_HEADERS, 0, WINHTTP_NO_REQUEST_DATA, 0,
                            0, 0) ||
        !WinHttpReceiveResponse(request, nullptr))
        return networkFailure(job, GetLastError(), false);
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    if (!WinHttpQueryHeaders(request, WINHTTP_QUERY_STATUS_CODE | WINHTTP_QUERY_FLAG_NUMBER,
                             WINHTTP_HEADER_NAME_BY_INDEX, &status, &statusSize,
                             WINHTTP_NO_HEADER_INDEX))
        return networkFailure(job, GetLastError(), false);
    if (status != 200) return failureOf(FetchOutcome::HttpStatus, static_cast<int>(status));

    // The announced length is a hint for the buffer, never trusted beyond the cap.
    const long long announced = contentLength(request);
    if (announced > static_cast<long long>(kMaxRecordingBytes))
        return failureOf(FetchOutcome::TooLarge);
    if (announced > 0) job.body.reserve(static_cast<size_t>(announced));
    std::vector<uint8_t> chunk(kReadChunk);
    for (;;) {
        DWORD got = 0;
        if (!WinHttpReadData(request, chunk.data(), kReadChunk, &got))
            return networkFailure(job, GetLastError(), true);
        if (got == 0) break;
        if (got > kReadChunk || job.body.size() + got > kMaxRecordingBytes)
            return failureOf(FetchOutcome::TooLarge);
        job.body.insert(job.body.end(), chunk.data(), chunk.data() + got);
        InterlockedExchangeAdd64(&job.received, got);
    }
    if (announced >= 0 && job.body.size() < static_cast<unsigned long long>(announced))
        return failureOf(FetchOutcome::CutShort);
    return failureOf(FetchOutcome::Saved); // the worker judges the body
}

DWORD WINAPI fetchThread(LPVOID parameter) {
    FetchJob* job = static_cast<FetchJob*>(parameter);
    try {
        job->result = fetchInto(*job);
    } catch (...) { // memory ran out
        job->body.clear();
        job->result = failureOf(FetchOutcome::Network, 0, ERROR_NOT_ENOUGH_MEMORY);
    }
    job->closeHandles();
    job->release();
    return 0;
}

std::wstring joinPath(const std::wstring& folder, const char* name) {
    std::wstring path = folder;
    if (!path.empty() && path.back() != L'\\') path += L'\\';
    return path + wideFromUtf8(name);
}

// Reads a whole file of at most kMaxRecordingBytes; false when it cannot.
bool readWholeFile(const std::wstring& path, std::vector<uint8_t>* data) {
    KernelHandle file(CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                  OPEN_EXISTING, FILE_FLAG_SEQUENTIAL_SCAN, nullptr));
    if (!file) return false;
    LARGE_INTEGER size{};
    if (!GetFileSizeEx(file.get(), &size) || size.QuadPart < 0 ||
        size.QuadPart > static_cast<LONGLONG>(kMaxRecordingBytes))
        return false;
    data->resize(static_cast<size_t>(size.QuadPart));
    DWORD read = 0;
    return data->empty() ||
           (ReadFile(file.get(), data->data(), static_cast<DWORD>(data->size()), &read, nullptr) &&
            read == data->size());
}

bool holdsMp3(const std::wstring& path) {
    std::vector<uint8_t> data;
    return readWholeFile(path, &data) &&
           judgeFetchedBody(data.data(), data.size()) == FetchedBody::Mp3;
}

// Writes the body as the temporary file, judges it and renames it into place; the
// temporary file never outlives a failure.
FetchResult saveRecording(const std::vector<uint8_t>& body, const std::wstring& partPath,
                          const std::wstring& finalPath) {
    const FetchOutcome judged = outcomeOfBody(judgeFetchedBody(body.data(), body.size()));
    if (judged != FetchOutcome::Saved) return failureOf(judged);
    {
        KernelHandle file(CreateFileW(partPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                      FILE_ATTRIBUTE_NORMAL, nullptr));
        if (!file) return failureOf(FetchOutcome::WriteFailed, 0, GetLastError());
        DWORD written = 0;
        const bool whole = WriteFile(file.get(), body.data(), static_cast<DWORD>(body.size()),
                                     &written, nullptr) &&
                           written == body.size() && FlushFileBuffers(file.get());
        const DWORD error = GetLastError();
        if (!whole) {
            file.reset();
            DeleteFileW(partPath.c_str());
            return failureOf(FetchOutcome::WriteFailed, 0, error ? error : ERROR_WRITE_FAULT);
        }
    }
    // What reached the disk is what was judged; it is judged once more as written.
    if (!holdsMp3(partPath)) {
        DeleteFileW(partPath.c_str());
        return failureOf(FetchOutcome::WriteFailed, 0, ERROR_WRITE_FAULT);
    }
    if (!MoveFileExW(partPath.c_str(), finalPath.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        const DWORD error = GetLastError();
        DeleteFileW(partPath.c_str());
        return failureOf(FetchOutcome::WriteFailed, 0, error);
    }
    return failureOf(FetchOutcome::Saved);
}

// Calls `visit` with the UTF-8 name of every file (not folder) in the folder.
template <typename Visit> void listFolder(const std::wstring& folder, Visit visit) {
    const std::wstring pattern = joinPath(folder, "*");
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found,
                                     FindExSearchNameMatch, nullptr, FIND_FIRST_EX_LARGE_FETCH);
    if (search == INVALID_HANDLE_VALUE)
        search = FindFirstFileExW(pattern.c_str(), FindExInfoBasic, &found, FindExSearchNameMatch,
                                  nullptr, 0);
    if (search == INVALID_HANDLE_VALUE) return;
    do {
        if (!(found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY))
            visit(utf8FromWide(found.cFileName), found.cFileName);
    } while (FindNextFileW(search, &found));
    FindClose(search);
}

} // namespace

struct RecitationDownload::Shared {
    volatile LONG references = 1;
    CRITICAL_SECTION lock;
    KernelHandle cancelEvent{CreateEventW(nullptr, TRUE, FALSE, nullptr)};
    FetchJob* current = nullptr; // the fetch under way (the worker's reference)
    HINTERNET session = nullptr; // the worker's, for every fetch of the download
    RecitationDownloadProgress progress;
    RecitationDownloadRequest request;
    HWND notify = nullptr;
    UINT message = 0;

    Shared() { InitializeCriticalSection(&lock); }
    ~Shared() { DeleteCriticalSection(&lock); }
    void addReference() { InterlockedIncrement(&references); }
    void release() {
        if (InterlockedDecrement(&references) == 0) delete this;
    }
    bool cancelled() const { return WaitForSingleObject(cancelEvent.get(), 0) == WAIT_OBJECT_0; }
    template <typename Change> void update(Change change, WPARAM finished = 0) {
        EnterCriticalSection(&lock);
        change(progress);
        LeaveCriticalSection(&lock);
        if (notify) PostMessageW(notify, message, finished, 0);
    }
};

namespace {

using Shared = RecitationDownload::Shared;

// One attempt: the fetch on its own thread, the worker waiting for it or for a cancel.
FetchResult fetchOnce(Shared& shared, const std::wstring& url, std::vector<uint8_t>* body,
                      unsigned long long bytesBefore) {
    FetchJob* job = new (std::nothrow) FetchJob;
    if (!job) return failureOf(FetchOutcome::Network, 0, ERROR_NOT_ENOUGH_MEMORY);
    job->url = url;
    job->session = shared.session;
    KernelHandle thread(CreateThread(nullptr, 0, fetchThread, job, 0, nullptr));
    if (!thread) {
        const DWORD error = GetLastError();
        delete job;
        return failureOf(FetchOutcome::Network, 0, error);
    }
    EnterCriticalSection(&shared.lock);
    shared.current = job;
    LeaveCriticalSection(&shared.lock);

    bool ended = false;
    // Bounded by the fetch's own timeouts and the size cap; every turn reports progress.
    while (!ended) {
        HANDLE both[2] = {thread.get(), shared.cancelEvent.get()};
        const DWORD woke = WaitForMultipleObjects(2, both, FALSE, kProgressPeriodMs);
        if (woke == WAIT_OBJECT_0) {
            ended = true;
        } else if (woke == WAIT_OBJECT_0 + 1) {
            job->abort();
            ended = WaitForSingleObject(thread.get(), kAbortGraceMs) == WAIT_OBJECT_0;
            break;
        } else if (woke != WAIT_TIMEOUT) {
            job->abort();
            break;
        }
        const unsigned long long received = static_cast<unsigned long long>(job->received);
        shared.update([&](RecitationDownloadProgress& p) { p.bytes = bytesBefore + received; });
    }
    EnterCriticalSection(&shared.lock);
    shared.current = nullptr;
    LeaveCriticalSection(&shared.lock);

    FetchResult result = failureOf(FetchOutcome::Cancelled);
    const unsigned long long received = static_cast<unsigned long long>(job->received);
    shared.update([&](RecitationDownloadProgress& p) { p.bytes = bytesBefore + received; });
    // A fetch thread that did not end keeps its own reference and frees the job itself.
    if (ended) {
        result = job->result;
        if (job->wasAborted() && result.outcome != FetchOutcome::Saved)
            result = failureOf(FetchOutcome::Cancelled);
        body->swap(job->body);
    }
    job->release();
    return result;
}

// Fetches one ayah's file, trying again after passing failures, and saves it.
FetchResult fetchAyah(Shared& shared, const std::wstring& folder, const AyahOfSurah& ayah) {
    char url[4096];
    char name[16];
    char partName[32];
    if (!formatRecitationUrl(url, sizeof url, shared.request.urlTemplate.c_str(), ayah.surah,
                             ayah.ayah) ||
        !formatAyahFileName(name, sizeof name, ayah.surah, ayah.ayah) ||
        !formatPartialAyahFileName(partName, sizeof partName, ayah.surah, ayah.ayah))
        return failureOf(FetchOutcome::BadAddress);
    const std::wstring wideUrl = wideFromUtf8(url);
    FetchResult result = failureOf(FetchOutcome::BadAddress);
    for (int attempt = 1; attempt <= kFetchAttempts; ++attempt) {
        if (attempt > 1) {
            const int delay = shared.request.retryDelay ? shared.request.retryDelay(attempt - 1)
                                                        : retryDelayMs(attempt - 1);
            if (WaitForSingleObject(shared.cancelEvent.get(),
                                    static_cast<DWORD>(delay < 0 ? 0 : delay)) == WAIT_OBJECT_0)
                return failureOf(FetchOutcome::Cancelled);
        }
        EnterCriticalSection(&shared.lock);
        const unsigned long long before = shared.progress.bytes;
        LeaveCriticalSection(&shared.lock);
        std::vector<uint8_t> body;
        result = fetchOnce(shared, wideUrl, &body, before);
        if (result.outcome == FetchOutcome::Saved)
            result = saveRecording(body, joinPath(folder, partName), joinPath(folder, name));
        if (result.outcome == FetchOutcome::Saved || !isRetriedFetch(result) || shared.cancelled())
            break;
    }
    return result;
}

void removeStalePartialFiles(const std::wstring& folder) {
    std::vector<std::wstring> stale;
    listFolder(folder, [&](const std::string& name, const wchar_t* wide) {
        if (isPartialAyahFileName(name.c_str())) stale.push_back(joinPath(folder, "") + wide);
    });
    for (const std::wstring& path : stale)
        DeleteFileW(path.c_str());
}

void runDownload(Shared& shared) {
    const RecitationDownloadRequest& request = shared.request;
    const std::wstring folder = wideFromUtf8(request.folder.c_str());
    const std::vector<AyahOfSurah> ayat =
        request.ayahCount ? ayatOfSurahs(request.firstSurah, request.lastSurah, request.ayahCount)
                          : std::vector<AyahOfSurah>{};
    shared.update([&](RecitationDownloadProgress& p) { p.files = static_cast<int>(ayat.size()); });
    const int made = folder.empty() ? ERROR_PATH_NOT_FOUND
                                    : SHCreateDirectoryExW(nullptr, folder.c_str(), nullptr);
    if (made != ERROR_SUCCESS && made != ERROR_ALREADY_EXISTS && made != ERROR_FILE_EXISTS) {
        char text[160];
        std::snprintf(text, sizeof text, "The folder could not be made (error %d).", made);
        shared.update([&](RecitationDownloadProgress& p) {
            p.failed = static_cast<int>(ayat.size());
            p.failures.push_back(text);
        });
        return;
    }
    removeStalePartialFiles(folder);
    shared.session = WinHttpOpen(L"Noravel", WINHTTP_ACCESS_TYPE_DEFAULT_PROXY,
                                 WINHTTP_NO_PROXY_NAME, WINHTTP_NO_PROXY_BYPASS, 0);
    if (shared.session)
        WinHttpSetTimeouts(shared.session, kResolveTimeoutMs, kConnectTimeoutMs, kSendTimeoutMs,
                           kReceiveTimeoutMs);
    for (size_t i = 0; i < ayat.size(); ++i) {
        if (shared.cancelled()) {
            shared.update([](RecitationDownloadProgress& p) { p.cancelled = true; });
            break;
        }
        shared.update(
            [&](RecitationDownloadProgress& p) { p.fileNumber = static_cast<int>(i) + 1; });
        char name[16];
        formatAyahFileName(name, sizeof name, ayat[i].surah, ayat[i].ayah);
        if (holdsMp3(joinPath(folder, name))) {
            shared.update([](RecitationDownloadProgress& p) { ++p.skipped; });
            continue;
        }
        const FetchResult result = fetchAyah(shared, folder, ayat[i]);
        char failure[160];
        if (result.outcome != FetchOutcome::Saved)
            formatFetchFailure(failure, sizeof failure, ayat[i].surah, ayat[i].ayah, result);
        shared.update([&](RecitationDownloadProgress& p) {
            if (result.outcome == FetchOutcome::Saved) {
                ++p.done;
                return;
            }
            ++p.failed;
            p.failures.push_back(failure);
            if (result.outcome == FetchOutcome::Cancelled) p.cancelled = true;
        });
        if (result.outcome == FetchOutcome::Cancelled) break;
    }
}

DWORD WINAPI downloadThread(LPVOID parameter) {
    Shared* shared = static_cast<Shared*>(parameter);
    try {
        runDownload(*shared);
    } catch (...) { // memory ran out: the download ends with what it has
        shared->update([](RecitationDownloadProgress& p) { ++p.failed; });
    }
    // A fetch thread left behind by a cancel keeps its own connection of the session.
    if (shared->session) WinHttpCloseHandle(shared->session);
    shared->session = nullptr;
    shared->update([](RecitationDownloadProgress& p) { p.finished = true; }, 1);
    shared->release();
    return 0;
}

} // namespace

RecitationDownload::RecitationDownload() : shared_(new Shared) {}

RecitationDownload::~RecitationDownload() {
    cancel();
    wait(5000);
    if (worker_) CloseHandle(worker_);
    shared_->release();
}

bool RecitationDownload::start(const RecitationDownloadRequest& request, HWND notify,
                               UINT message) {
    if (running() || !shared_->cancelEvent) return false;
    if (worker_) CloseHandle(worker_);
    worker_ = nullptr;
    // A worker of an earlier download that was left behind keeps the old shared state.
    shared_->release();
    shared_ = new Shared;
    if (!shared_->cancelEvent) return false;
    shared_->request = request;
    shared_->notify = notify;
    shared_->message = message;
    shared_->addReference();
    worker_ = CreateThread(nullptr, 0, downloadThread, shared_, 0, nullptr);
    if (!worker_) {
        shared_->release();
        return false;
    }
    return true;
}

void RecitationDownload::cancel() {
    if (!shared_->cancelEvent) return;
    SetEvent(shared_->cancelEvent.get());
    // The fetch under way is ended from here too, so that its blocking call returns.
    EnterCriticalSection(&shared_->lock);
    if (shared_->current) shared_->current->abort();
    LeaveCriticalSection(&shared_->lock);
}

bool RecitationDownload::wait(DWORD ms) {
    return !worker_ || WaitForSingleObject(worker_, ms) == WAIT_OBJECT_0;
}

bool RecitationDownload::running() const {
    return worker_ && WaitForSingleObject(worker_, 0) == WAIT_TIMEOUT;
}

RecitationDownloadProgress RecitationDownload::progress() const {
    EnterCriticalSection(&shared_->lock);
    RecitationDownloadProgress copy = shared_->progress;
    LeaveCriticalSection(&shared_->lock);
    return copy;
}

int countAyahFiles(const std::string& utf8Folder, int (*ayahCount)(int surah)) {
    if (utf8Folder.empty() || !ayahCount) return 0;
    std::vector<bool> seen(115 * 1000, false);
    int count = 0;
    listFolder(wideFromUtf8(utf8Folder.c_str()), [&](const std::string& name, const wchar_t*) {
        AyahOfSurah ayah{};
        if (!parseAyahFileName(name.c_str(), ayahCount, &ayah)) return;
        const size_t slot = static_cast<size_t>(ayah.surah) * 1000 + ayah.ayah;
        if (seen[slot]) return;
        seen[slot] = true;
        ++count;
    });
    return count;
}
