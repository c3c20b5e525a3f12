#include "KW_FileSystem.h"

#include "CKW_ByteString.h"
#include "CKW_WideString.h"
#include "KW_Memory.h"

#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

const size_t kCopyBufferSize = 32768;

CKW_ByteString Utf8Path(const wchar_t* path)
{
    return CKW_WideString(path ? path : L"").UTF8Encode();
}

CKW_ByteString LocalPath(const wchar_t* path)
{
    return CKW_ByteString::FromUnicode(path ? path : L"");
}

int OpenRetrying(const char* path, int flags, int permissions)
{
    int fd;
    do {
        fd = ::open(path, flags, permissions);
    } while (fd < 0 && errno == EINTR);
    return fd;
}

bool WriteAll(int fd, const uint8_t* data, size_t size)
{
    while (size > 0) {
        ssize_t n = ::write(fd, data, size);
        if (n < 0 && errno == EINTR)
            continue;
        if (n <= 0)
            return false;
        data += n;
        size -= static_cast<size_t>(n);
    }
    return true;
}

} // namespace

bool KW_File_Exist(const char* path)
{
    return path && access(path, F_OK) == 0;
}

bool KW_File_Exist(const wchar_t* path)
{
    return path && KW_File_Exist(Utf8Path(path).c_str());
}

bool KW_File_Delete(const char* path)
{
    return path && remove(path) == 0;
}

bool KW_File_Delete(const wchar_t* path)
{
    return path && KW_File_Delete(Utf8Path(path).c_str());
}

bool KW_File_Copy(const char* source, const char* destination)
{
    if (!source || !destination)
        return false;
    int in = OpenRetrying(source, O_RDONLY, 0);
    if (in < 0)
        return false;
    struct stat from;
    if (fstat(in, &from) != 0 || S_ISDIR(from.st_mode) || from.st_size == 0) {
        close(in);
        return false;
    }
    // Copying a file onto itself would empty it before the first read.
    struct stat to;
    if (stat(destination, &to) == 0 && to.st_dev == from.st_dev && to.st_ino == from.st_ino) {
        close(in);
        return false;
    }
    int out = OpenRetrying(destination, O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (out < 0) {
        close(in);
        return false;
    }
    uint8_t* buffer = static_cast<uint8_t*>(KWMEM_DefaultAlloc2(kCopyBufferSize, 1, 0));
    bool ok = buffer != nullptr;
    while (ok) {
        ssize_t n = ::read(in, buffer, kCopyBufferSize);
        if (n < 0 && errno == EINTR)
            continue;
        if (n == 0)
            break;
        ok = n > 0 && WriteAll(out, buffer, static_cast<size_t>(n));
    }
    KWMEM_DefaultFree(buffer, 0);
    close(in);
    if (close(out) != 0)
        ok = false;
    return ok;
}

bool KW_File_Copy(const wchar_t* source, const wchar_t* destination)
{
    if (!source || !destination)
        return false;
    return KW_File_Copy(Utf8Path(source).c_str(), Utf8Path(destination).c_str());
}

bool KW_File_Move(const char* source, const char* destination)
{
    return source && destination && rename(source, destination) == 0;
}

bool KW_File_Move(const wchar_t* source, const wchar_t* destination)
{
    if (!source || !destination)
        return false;
    return KW_File_Move(Utf8Path(source).c_str(), Utf8Path(destination).c_str());
}

// ---------------------------------------------------------------------------

_KW_HFOLDER KW_OpenFolder(const char* path)
{
    return path ? opendir(path) : nullptr;
}

_KW_HFOLDER KW_OpenFolder(const wchar_t* path)
{
    return path ? KW_OpenFolder(LocalPath(path).c_str()) : nullptr;
}

bool KW_FolderEntryIsFolder(unsigned char entryType, const char* folderPath, const char* name)
{
    if (entryType != DT_UNKNOWN)
        return entryType == DT_DIR;
    CKW_ByteString full(folderPath ? folderPath : "");
    full += "/";
    full += name ? name : "";
    struct stat st;
    return stat(full.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool KW_GetNextFile(_KW_HFOLDER folder, CKW_ByteString& name, bool& isFolder, const char* folderPath)
{
    if (!folder)
        return false;
    struct dirent* entry = readdir(static_cast<DIR*>(folder));
    if (!entry)
        return false;
    name = entry->d_name;
    isFolder = KW_FolderEntryIsFolder(entry->d_type, folderPath, entry->d_name);
    return true;
}

bool KW_GetNextFile(_KW_HFOLDER folder, CKW_WideString& name, bool& isFolder, const wchar_t* folderPath)
{
    if (!folder)
        return false;
    struct dirent* entry = readdir(static_cast<DIR*>(folder));
    if (!entry)
        return false;
    name = CKW_WideString::FromLocal(entry->d_name);
    isFolder = KW_FolderEntryIsFolder(entry->d_type, LocalPath(folderPath).c_str(), entry->d_name);
    return true;
}

void KW_CloseFolder(_KW_HFOLDER folder)
{
    if (folder)
        closedir(static_cast<DIR*>(folder));
}

char KW_GetFolderSeparator()
{
    return '/';
}

bool KW_CreateFolder(const char* path)
{
    return path && mkdir(path, 0755) == 0;
}

bool KW_CreateFolder(const wchar_t* path)
{
    return path && KW_CreateFolder(LocalPath(path).c_str());
}

bool KW_IsFilePathExist(const wchar_t* path)
{
    return path && access(LocalPath(path).c_str(), F_OK) == 0;
}
