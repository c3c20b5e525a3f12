// A file stream that maps its file into memory one window at a time. Accesses
// inside the window are memory copies; others move the window, growing the
// file (in 64 KiB units) when they run past its end. The window never reaches
// past the end of the file, so no access touches unmapped file pages.
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
    // returns an object; IsValid tells whether a window is mapped.
    static CKW_MMapedFile* Create(const CKW_WideStringC& name, int64_t offset, size_t size);

    CKW_MMapedFile(const CKW_WideStringC& name, int64_t offset, size_t size);
    ~CKW_MMapedFile() override;

    bool IsValid() const { return m_pMemory != nullptr && m_nWindowLength != 0; }
    uint8_t* GetMemory() const { return m_pMemory; }
    CKW_WideString GetName() const { return m_Name; }
    int64_t GetWindowOffset() const { return m_nWindowOffset; }
    uint64_t GetWindowLength() const { return m_nWindowLength; }
    // Maps a window holding offset (growing the file to cover offset + size);
    // false, with no window, when the file cannot grow or be mapped.
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
    bool Fill(int64_t from, int64_t to);
    bool MapWindow(int64_t offset, uint64_t length);
    void Unmap();

    CKW_WideString m_Name;
    uint8_t* m_pMemory;
    int64_t m_nFileSize;
    int32_t m_hFile;
    int64_t m_nWindowOffset;
    int64_t m_nPosition;
    int32_t m_nFillValue;
    uint64_t m_nWindowLength;
};

#endif // CKW_MMAPEDFILE_H
