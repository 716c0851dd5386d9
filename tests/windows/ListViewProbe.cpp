#include "tests/windows/ListViewProbe.h"

namespace pw::test {

HIMAGELIST ListViewProbe::ImageList(int which) const {
    DWORD_PTR list = 0;
    if (!::SendMessageTimeoutW(m_list, LVM_GETIMAGELIST, static_cast<WPARAM>(which), 0, SMTO_NORMAL, 20000, &list))
        return nullptr;
    return reinterpret_cast<HIMAGELIST>(list);
}

bool ListViewProbe::HasStyle(LONG_PTR style) const {
    return (::GetWindowLongPtrW(m_list, GWL_STYLE) & style) == style;
}

// The list view fills in the record where it lives, so the record goes
// through memory of the list's process.
std::optional<int> ListViewProbe::ItemImage(int row) const {
    HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, m_process);
    if (!process)
        return std::nullopt;
    std::optional<int> image;
    void* remote = ::VirtualAllocEx(process, nullptr, sizeof(LVITEMW), MEM_COMMIT, PAGE_READWRITE);
    if (remote) {
        LVITEMW item{};
        item.mask = LVIF_IMAGE;
        item.iItem = row;
        item.iImage = -100;  // no index the list view gives
        DWORD_PTR answered = 0;
        if (::WriteProcessMemory(process, remote, &item, sizeof item, nullptr) &&
            ::SendMessageTimeoutW(m_list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(remote), SMTO_NORMAL, 20000,
                                  &answered) &&
            answered && ::ReadProcessMemory(process, remote, &item, sizeof item, nullptr))
            image = item.iImage;
        ::VirtualFreeEx(process, remote, 0, MEM_RELEASE);
    }
    ::CloseHandle(process);
    return image;
}

}  // namespace pw::test
