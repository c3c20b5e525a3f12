#pragma once
// Unpacker of Kzip packages, the form in which every update package arrives:
// a header with a magic number and a checksum, one LZMA-alone stream holding
// every packed file back to back, and a directory that cuts the decoded data
// into named files and folders. The download window makes one per package and
// calls Unzip2; any result below 1 is a failure.
#include <QString>

#include <cstdio>

class CKW_Kzip
{
public:
    CKW_Kzip();
    virtual ~CKW_Kzip();

    // Current form (28-byte header). 1 success; 0 a target file cannot be
    // opened or written (or the package names an unusable one); -1 bad magic;
    // -2 checksum mismatch; -3 package not readable; -4 a temporary file
    // cannot be opened, the LZMA part cannot be decoded or the directory is bad.
    // Temporary files live in "updater/uncompress/" of the data root, which
    // the caller creates.
    int Unzip2(QString& package, QString& outputFolder);
    // Older form (32-byte header, no folder entries); same results.
    int Unzip(QString& package, QString& outputFolder);

    // Decodes an LZMA-alone file into a file; false when the input cannot be
    // opened or is shorter than 13 bytes, the output cannot be created, or
    // the stream does not decode cleanly to its size.
    bool UnzipFileToFile(QString& lzmaFile, QString& outputFile);

    // MSB-first CRC, initial value 0, no final XOR.
    unsigned long RunCRC32(const unsigned char* data, unsigned long length, unsigned long polynomial);
    void BuildTable64(unsigned long polynomial, unsigned long* table);
    // The same loop without masking to 32 bits: entries keep the bits shifted
    // above bit 31; their low 32 bits equal BuildTable64's.
    void BuildTable32(unsigned long polynomial, unsigned long* table);

    // Reads count bytes; true when all of them were read.
    bool MyReadFile(FILE* stream, void* buffer, unsigned long count);
};
