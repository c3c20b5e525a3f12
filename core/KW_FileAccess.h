// The platform file over POSIX descriptors and the C-style handle functions
// on it.
//
// Positioned transfers (ReadPos, WritePos) keep going after short transfers
// and interrupted calls, so a count below the request means end of file or a
// real error; -1 means an error before any byte moved. Each transfer carries
// its offset with it, so threads may share one handle for positioned reads
// and writes without a lock; the position is left after the bytes moved (with
// several threads, after the last transfer to set it).
#ifndef KW_FILEACCESS_H
#define KW_FILEACCESS_H

#include "IKW_Stream.h"
#include "KW_Object.h"

#include <stdint.h>

class CKWCRT_FileAccess_Posix : public IKWCRT_FileAccess, public CKW_Object {
public:
    CKWCRT_FileAccess_Posix() : m_hFile(-1) {}
    ~CKWCRT_FileAccess_Posix() override;

    bool Open(const CKW_ByteStringC& path, uint32_t mode) override;
    bool Open(const CKW_WideStringC& path, uint32_t mode) override;
    void Close() override;
    void Release(_IKW_Allocator* allocator) override;
    int64_t GetSize() const override;
    int64_t GetPosition() const override;
    int64_t SetPosition(int64_t position) override;
    int64_t Read(void* buffer, size_t size) override;
    int64_t Write(const void* buffer, size_t size) override;
    int64_t ReadPos(void* buffer, size_t size, int64_t position) override;
    int64_t WritePos(const void* buffer, size_t size, int64_t position) override;
    bool Flush() override;
    bool Truncate(int64_t size) override;

private:
    int32_t m_hFile;
};

// A new closed access, made through the allocator (null: the default manager).
IKWCRT_FileAccess* KWCRT_FileAccess_Create(_IKW_Allocator* allocator);
// open() flags and permissions for an open mode; returns the flags.
int KWCRT_Posix_GetFileMode(uint32_t mode, int* flags, int* permissions);

// Whether a path given with its length holds a zero byte (a zero character).
// The system would take the path only up to it, so a check on the whole name
// would pass while another file is opened or created: such paths are refused.
bool KW_Path_HoldsZero(const CKW_ByteStringC& path);
bool KW_Path_HoldsZero(const CKW_WideStringC& path);

typedef IKWCRT_FileAccess* _KW_HFILE;

// Null when the file cannot be opened, or the path holds a zero byte.
_KW_HFILE KW_File_Open(const CKW_ByteStringC& path, uint32_t mode, _IKW_Allocator* allocator);
_KW_HFILE KW_File_Open(const CKW_WideStringC& path, uint32_t mode, _IKW_Allocator* allocator);
void KW_File_Close(_KW_HFILE file, _IKW_Allocator* allocator);
int64_t KW_File_GetSize(_KW_HFILE file);
int64_t KW_File_GetPosition(_KW_HFILE file);
int64_t KW_File_SetPosition(_KW_HFILE file, int64_t position);
int64_t KW_File_Read(_KW_HFILE file, void* buffer, size_t size);
int64_t KW_File_ReadPos(_KW_HFILE file, void* buffer, size_t size, int64_t position);
int64_t KW_File_Write(_KW_HFILE file, const void* buffer, size_t size);
int64_t KW_File_WritePos(_KW_HFILE file, const void* buffer, size_t size, int64_t position);
bool KW_File_Flush(_KW_HFILE file);
bool KW_File_Truncate(_KW_HFILE file, int64_t size);

#endif // KW_FILEACCESS_H
