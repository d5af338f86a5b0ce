#include "serial/win32_serial_device.h"

#include <windows.h>

#include <algorithm>

namespace kavrin {

Win32SerialDevice::~Win32SerialDevice() {
    Close();
}

bool Win32SerialDevice::Open(const std::string& deviceName) {
    Close();
    HANDLE h = CreateFileA(deviceName.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                           OPEN_EXISTING, 0, nullptr);
    if (h == nullptr || h == INVALID_HANDLE_VALUE) return false;
    DWORD errors = 0;
    ClearCommError(h, &errors, nullptr);
    PurgeComm(h, PURGE_TXCLEAR | PURGE_RXCLEAR);
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    GetCommState(h, &dcb);
    BuildCommDCBA("baud=115200 parity=N data=8 stop=1", &dcb);
    SetCommState(h, &dcb);
    COMMTIMEOUTS t{};
    t.ReadIntervalTimeout = 0;
    t.ReadTotalTimeoutMultiplier = 0;
    t.ReadTotalTimeoutConstant = 10;
    t.WriteTotalTimeoutMultiplier = 10;
    t.WriteTotalTimeoutConstant = 100;
    SetCommTimeouts(h, &t);
    SetupComm(h, 50000, 0);
    handle_ = h;
    return true;
}

void Win32SerialDevice::Close() {
    if (handle_ != nullptr) CloseHandle(static_cast<HANDLE>(handle_));
    handle_ = nullptr;
}

void Win32SerialDevice::WriteByte(std::uint8_t byte) {
    if (handle_ == nullptr) return;
    DWORD written = 0;
    WriteFile(static_cast<HANDLE>(handle_), &byte, 1, &written, nullptr);
}

int Win32SerialDevice::ReadByte() {
    if (handle_ == nullptr) return -1;
    std::uint8_t byte = 0;
    DWORD read = 0;
    if (ReadFile(static_cast<HANDLE>(handle_), &byte, 1, &read, nullptr) && read > 0) return byte;
    return -1;
}

int Win32SerialDevice::ReadWaitingByte() {
    if (handle_ == nullptr) return -1;
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(static_cast<HANDLE>(handle_), &errors, &status) || status.cbInQue == 0)
        return -1;
    return ReadByte();
}

std::vector<std::string> Win32PortDirectory::ListComPorts() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, 0x20019, &key) !=
        ERROR_SUCCESS)
        return names;
    for (DWORD i = 0;; ++i) {
        char name[256];
        DWORD nameLen = sizeof name;
        BYTE data[1024];
        DWORD dataLen = sizeof data;
        const LONG r = RegEnumValueA(key, i, name, &nameLen, nullptr, nullptr, data, &dataLen);
        if (r == ERROR_NO_MORE_ITEMS) break;
        if (r != ERROR_SUCCESS) continue;
        std::string value(reinterpret_cast<char*>(data), dataLen);
        value.erase(std::find(value.begin(), value.end(), '\0'), value.end());
        names.push_back(value);
    }
    RegCloseKey(key);
    return names;
}

} // namespace kavrin
