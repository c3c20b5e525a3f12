// Whole-file operations and folder enumeration.
//
// Wide paths of the file functions are encoded as UTF-8; wide paths of the
// folder functions and KW_IsFilePathExist go through the default code page,
// and wide entry names come back from the local code page.
#ifndef KW_FILESYSTEM_H
#define KW_FILESYSTEM_H

#include <stdint.h>
#include <wchar.h>

class CKW_ByteString;
class CKW_WideString;

bool KW_File_Exist(const char* path);
bool KW_File_Exist(const wchar_t* path);
bool KW_File_Delete(const char* path);
bool KW_File_Delete(const wchar_t* path);
// False when the source is empty, is a folder, is the destination itself (also
// through another link), or when any read or write fails; nothing is created
// or truncated before the source and the destination have been checked.
bool KW_File_Copy(const char* source, const char* destination);
bool KW_File_Copy(const wchar_t* source, const wchar_t* destination);
bool KW_File_Move(const char* source, const char* destination);
bool KW_File_Move(const wchar_t* source, const wchar_t* destination);

// An open folder listing (null when the folder cannot be opened).
typedef void* _KW_HFOLDER;

_KW_HFOLDER KW_OpenFolder(const char* path);
_KW_HFOLDER KW_OpenFolder(const wchar_t* path);
// The next entry ("." and ".." included); false at the end. folderPath is the
// path the folder was opened with: it serves entries whose type the listing
// does not carry.
bool KW_GetNextFile(_KW_HFOLDER folder, CKW_ByteString& name, bool& isFolder, const char* folderPath);
bool KW_GetNextFile(_KW_HFOLDER folder, CKW_WideString& name, bool& isFolder, const wchar_t* folderPath);
void KW_CloseFolder(_KW_HFOLDER folder);
// Whether an entry of the given dirent type is a folder; an unknown type
// (some file systems carry none) is settled by stat on folderPath/name.
bool KW_FolderEntryIsFolder(unsigned char entryType, const char* folderPath, const char* name);

char KW_GetFolderSeparator();
// False when the folder exists already or cannot be made.
bool KW_CreateFolder(const char* path);
bool KW_CreateFolder(const wchar_t* path);
bool KW_IsFilePathExist(const wchar_t* path);

#endif // KW_FILESYSTEM_H
