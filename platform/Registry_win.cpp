#include "platform/Registry_win.h"

namespace platform {

bool CRegKey::Open(HKEY root, const char* path, REGSAM access)
{
    Close();
    HKEY key = nullptr;
    if (RegOpenKeyExA(root, path, 0, access, &key) != ERROR_SUCCESS)
        return false;
    m_hKey = key;
    return true;
}

bool CRegKey::Create(HKEY root, const char* path)
{
    Close();
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path, 0, nullptr, REG_OPTION_NON_VOLATILE, KEY_WRITE, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    m_hKey = key;
    return true;
}

void CRegKey::Close()
{
    if (m_hKey)
        RegCloseKey(m_hKey);
    m_hKey = nullptr;
}

bool CRegKey::ReadRaw(const char* name, DWORD maxBytes, std::string& data, DWORD& type) const
{
    DWORD size = 0;
    if (!m_hKey || RegQueryValueExA(m_hKey, name, nullptr, &type, nullptr, &size) != ERROR_SUCCESS || size > maxBytes)
        return false;
    data.assign(size, '\0');
    if (size && RegQueryValueExA(m_hKey, name, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &size) != ERROR_SUCCESS)
        return false;
    data.resize(size);
    return true;
}

std::optional<std::string> CRegKey::ReadString(const char* name, DWORD maxBytes) const
{
    std::string data;
    DWORD type = 0;
    if (!ReadRaw(name, maxBytes, data, type) || (type != REG_SZ && type != REG_EXPAND_SZ))
        return std::nullopt;
    const size_t zero = data.find('\0');
    if (zero != std::string::npos)
        data.erase(zero);
    return data;
}

std::optional<std::string> CRegKey::ReadBinary(const char* name) const
{
    std::string data;
    DWORD type = 0;
    if (!ReadRaw(name, 0xFFFF, data, type) || type != REG_BINARY)
        return std::nullopt;
    return data;
}

std::optional<std::uint32_t> CRegKey::ReadDword(const char* name) const
{
    std::string data;
    DWORD type = 0;
    if (!ReadRaw(name, 4, data, type) || type != REG_DWORD || data.size() != 4)
        return std::nullopt;
    std::uint32_t v = 0;
    for (int i = 3; i >= 0; --i)
        v = v << 8 | static_cast<unsigned char>(data[i]);
    return v;
}

bool CRegKey::SetString(const char* name, const std::string& text) const
{
    return m_hKey && RegSetValueExA(m_hKey, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                                    static_cast<DWORD>(text.size() + 1)) == ERROR_SUCCESS;
}

bool CRegKey::SetBinary(const char* name, const std::string& bytes) const
{
    return m_hKey && RegSetValueExA(m_hKey, name, 0, REG_BINARY, reinterpret_cast<const BYTE*>(bytes.data()),
                                    static_cast<DWORD>(bytes.size())) == ERROR_SUCCESS;
}

bool CRegKey::SetDword(const char* name, std::uint32_t value) const
{
    const DWORD v = value;
    return m_hKey && RegSetValueExA(m_hKey, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&v), sizeof v) ==
                         ERROR_SUCCESS;
}

}  // namespace platform
