#include "tests/e2e/process_resources_win.h"

#include <psapi.h>
#include <tlhelp32.h>
#include <winternl.h>

#include <algorithm>
#include <cstddef>
#include <cstring>

namespace {

// The GDI handle table, as both Windows and Wine lay it out on x64: the process environment
// block points to it, and each of its 65536 entries is 24 bytes.
constexpr std::size_t kPebGdiHandleTableOffset = 0xF8;
constexpr std::size_t kGdiHandleCount = 0x10000;
constexpr std::size_t kGdiEntrySize = 24;
constexpr std::size_t kGdiEntryOwnerOffset = 8;    // USHORT process id
constexpr std::size_t kGdiEntryUniqueOffset = 12;  // low byte: type bits and the stock flag
constexpr std::size_t kGdiEntryTypeOffset = 14;    // UCHAR, 0 for a free entry
constexpr std::uint8_t kGdiStockFlag = 0x80;
constexpr std::size_t kGdiEntriesPerRead = 4096;

// The system's list of every open handle with its owner (SystemExtendedHandleInformation). The
// headers' enumeration stops short of this class, so the call is declared with a plain number.
constexpr ULONG kSystemExtendedHandleInformation = 64;
using QuerySystemInformation = NTSTATUS(NTAPI*)(ULONG, void*, ULONG, ULONG*);
constexpr NTSTATUS kStatusInfoLengthMismatch = static_cast<NTSTATUS>(0xC0000004L);
constexpr ULONG kLargestHandleList = 256u << 20;

struct SystemHandleEntry {
    void* object;
    ULONG_PTR uniqueProcessId;
    ULONG_PTR handleValue;
    ULONG grantedAccess;
    USHORT creatorBackTraceIndex;
    USHORT objectTypeIndex;
    ULONG handleAttributes;
    ULONG reserved;
};

struct SystemHandleList {
    ULONG_PTR numberOfHandles;
    ULONG_PTR reserved;
    SystemHandleEntry handles[1];
};

class ProcessHandle {
  public:
    explicit ProcessHandle(DWORD processId)
        : handle_(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, processId)) {}
    ~ProcessHandle() {
        if (handle_ != nullptr) {
            CloseHandle(handle_);
        }
    }
    ProcessHandle(const ProcessHandle&) = delete;
    ProcessHandle& operator=(const ProcessHandle&) = delete;
    HANDLE Get() const { return handle_; }

  private:
    HANDLE handle_;
};

bool ReadRemote(HANDLE process, std::uintptr_t address, void* buffer, std::size_t size) {
    SIZE_T read = 0;
    return ReadProcessMemory(process, reinterpret_cast<const void*>(address), buffer, size, &read) &&
           read == size;
}

// The live, non-stock entries of the process's GDI handle table. Windows keeps one table for the
// session and marks each entry with its owner; Wine gives every process a table of its own and
// marks no owner, so there every live entry counts.
std::optional<DWORD> CountGdiTableEntries(HANDLE process, DWORD processId) {
    PROCESS_BASIC_INFORMATION basic{};
    if (NtQueryInformationProcess(process, ProcessBasicInformation, &basic, sizeof(basic), nullptr) != 0) {
        return std::nullopt;
    }
    std::uintptr_t table = 0;
    if (!ReadRemote(process,
                    reinterpret_cast<std::uintptr_t>(basic.PebBaseAddress) + kPebGdiHandleTableOffset, &table,
                    sizeof(table)) ||
        table == 0) {
        return std::nullopt;
    }
    const auto owner = static_cast<std::uint16_t>(processId);
    DWORD owned = 0;
    DWORD unowned = 0;
    std::vector<std::uint8_t> entries(kGdiEntriesPerRead * kGdiEntrySize);
    for (std::size_t first = 0; first < kGdiHandleCount; first += kGdiEntriesPerRead) {
        if (!ReadRemote(process, table + first * kGdiEntrySize, entries.data(), entries.size())) {
            break;  // the rest of the table was never committed, so it holds nothing
        }
        for (std::size_t i = 0; i < kGdiEntriesPerRead; ++i) {
            const std::uint8_t* entry = entries.data() + i * kGdiEntrySize;
            if (entry[kGdiEntryTypeOffset] == 0 || (entry[kGdiEntryUniqueOffset] & kGdiStockFlag) != 0) {
                continue;
            }
            std::uint16_t entryOwner = 0;
            std::memcpy(&entryOwner, entry + kGdiEntryOwnerOffset, sizeof(entryOwner));
            if (entryOwner == owner) {
                ++owned;
            } else if (entryOwner == 0) {
                ++unowned;
            }
        }
    }
    return owned != 0 ? owned : unowned;
}

// The process's entries in the system's handle list.
std::optional<DWORD> CountSystemHandleEntries(DWORD processId) {
    const auto query = reinterpret_cast<QuerySystemInformation>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleA("ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return std::nullopt;
    }
    std::vector<std::uint8_t> buffer(1u << 20);
    for (;;) {
        ULONG needed = 0;
        const NTSTATUS status = query(kSystemExtendedHandleInformation, buffer.data(),
                                      static_cast<ULONG>(buffer.size()), &needed);
        if (status == kStatusInfoLengthMismatch && buffer.size() < kLargestHandleList) {
            buffer.resize(std::max<std::size_t>(buffer.size() * 2, needed));
            continue;
        }
        if (status != 0) {
            return std::nullopt;
        }
        break;
    }
    const auto* list = reinterpret_cast<const SystemHandleList*>(buffer.data());
    const std::size_t room =
        (buffer.size() - offsetof(SystemHandleList, handles)) / sizeof(SystemHandleEntry);
    const std::size_t count = std::min<std::size_t>(list->numberOfHandles, room);
    DWORD owned = 0;
    for (std::size_t i = 0; i < count; ++i) {
        if (list->handles[i].uniqueProcessId == processId) {
            ++owned;
        }
    }
    return owned;
}

}  // namespace

std::vector<DWORD> ProcessIdsNamed(const char* exeName) {
    std::vector<DWORD> ids;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) {
        return ids;
    }
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more; more = Process32Next(snapshot, &entry)) {
        if (lstrcmpiA(entry.szExeFile, exeName) == 0) {
            ids.push_back(entry.th32ProcessID);
        }
    }
    CloseHandle(snapshot);
    return ids;
}

bool ReadProcessResources(DWORD processId, ProcessResources& resources) {
    const ProcessHandle process(processId);
    if (process.Get() == nullptr || !GetProcessHandleCount(process.Get(), &resources.handles)) {
        return false;
    }
    resources.handleSource = "GetProcessHandleCount";
    if (resources.handles == 0) {
        // Every process holds some handle: 0 means the count is not kept (Wine 8).
        const std::optional<DWORD> counted = CountSystemHandleEntries(processId);
        resources.handles = counted.value_or(0);
        resources.handleSource = counted ? "system handle list" : "unavailable";
    }

    SetLastError(ERROR_SUCCESS);
    resources.gdiObjects = GetGuiResources(process.Get(), GR_GDIOBJECTS);
    resources.gdiSource = "GetGuiResources";
    if (resources.gdiObjects == 0) {
        // A running GUI program always holds some GDI object: 0 means the call is not answered.
        const std::optional<DWORD> counted = CountGdiTableEntries(process.Get(), processId);
        resources.gdiObjects = counted.value_or(0);
        resources.gdiSource = counted ? "GDI handle table" : "unavailable";
    }
    const DWORD userObjects = GetGuiResources(process.Get(), GR_USEROBJECTS);
    if (userObjects != 0) {
        resources.userObjects = userObjects;
    }

    PROCESS_MEMORY_COUNTERS_EX memory{};
    memory.cb = sizeof(memory);
    if (GetProcessMemoryInfo(process.Get(), reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&memory),
                             sizeof(memory))) {
        resources.workingSetBytes = memory.WorkingSetSize;
        resources.peakWorkingSetBytes = memory.PeakWorkingSetSize;
        resources.commitBytes = memory.PagefileUsage;
    }
    return true;
}
