// A file stream that maps its file into memory one window at a time. Accesses
// inside the window are memory copies; others move the window. A write that
// runs past the end grows the file (in 64 KiB units) by its length alone, so
// the new bytes read as zeros and take no disk space until written; a read
// past the end fails and changes nothing. The window never reaches past the
// end of the file as this object last saw it, so no access of its own
// touches pages the file does not have.
//
// A mapping cannot protect itself against the file shrinking under it: when
// another process (or another descriptor) truncates the file while it is
// mapped, the next access to a page past the new end raises SIGBUS, which
// ends the process. Do not map files that others may truncate.
#ifndef CKW_MMAPEDFILE_H
#define CKW_MMAPEDFILE_H

#include "CKW_WideString.h"
#include "IKW_Stream.h"
#include "KW_Object.h"

// The system page size: the unit a new mapped file is grown to. Static
// initialisers of other files may run first: they read it through
// KW_GetDefaultMMapSize(), which fills it on first use.
extern int64_t KW_DEFAULT_MMAP_SIZE;
int64_t KW_GetDefaultMMapSize();

class CKW_MMapedFile : public IKW_FileStream, public CKW_Object {
public:
    // Opens (or creates) the file, grows it to whole pages and maps size bytes
    // at offset (a multiple of the page size), clamped to the file. Always
    // returns an object; IsValid tells whether a window is mapped. A name
    // holding a zero character opens nothing.
    static CKW_MMapedFile* Create(const CKW_WideStringC& name, int64_t offset, size_t size);

    CKW_MMapedFile(const CKW_WideStringC& name, int64_t offset, size_t size);
    ~CKW_MMapedFile() override;

    bool IsValid() const { return m_pMemory != nullptr && m_nWindowLength != 0; }
    uint8_t* GetMemory() const { return m_pMemory; }
    CKW_WideString GetName() const { return m_Name; }
    int64_t GetWindowOffset() const { return m_nWindowOffset; }
    uint64_t GetWindowLength() const { return m_nWindowLength; }
    // Maps a window holding offset (growing the file to cover offset + size);
    // false, with no window, when the file cannot grow (a growth past the
    // process's file-size limit is refused) or be mapped.
    bool ReMap(int64_t offset, size_t size);

    void Release() override;
    IKW_FileStream* Retain() override;
    bool IsEOF() override;
    int64_t GetPosition() override;
    size_t ReadBlock(void* buffer, size_t size) override;
    bool ReadBlock(void* buffer, int64_t offset, size_t size) override;
    int64_t GetSize() override;
    bool WriteBlock(const void* buffer, int64_t offset, size_t size) override;
    bool WriteBlock(const void* buffer, size_t size) override;
    bool Flush() override;

private:
    bool Access(uint8_t* buffer, int64_t offset, size_t size, bool write);
    bool Covers(int64_t end);
    bool MapWindow(int64_t offset, uint64_t length);
    void Unmap();

    CKW_WideString m_Name;
    uint8_t* m_pMemory;
    int64_t m_nFileSize;
    int32_t m_hFile;
    int64_t m_nWindowOffset;
    int64_t m_nPosition;
    [[maybe_unused]] int32_t m_nFillValue; // growth fills with zeros today; kept for the record's layout
    uint64_t m_nWindowLength;
};

#endif // CKW_MMAPEDFILE_H
