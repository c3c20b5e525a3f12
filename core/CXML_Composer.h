// XML writer: a CXML_Element tree back as UTF-8 text, into a byte string or
// through an IKW_FileWrite stream. CXML_Element::OutputStream runs it.
//
// No XML declaration and no indentation are written. Unless line breaks are
// turned off, every '>' that closes a tag is preceded by "\r\n". Content is
// escaped (control characters and edge spaces as character references)
// unless raw content is asked for; attribute values escape '<', '&', the
// double quote, tab, line feed and carriage return. Elements and attributes
// whose names are no XML names are left out. CDATA text is written as it is, except that a "]]>"
// inside it is split across two sections so that it cannot end the section
// early or inject markup. Characters above 0x7FFFFFFF have no UTF-8 form and
// are not written.
#ifndef CXML_COMPOSER_H
#define CXML_COMPOSER_H

#include "CKW_ByteString.h"
#include "CKW_TextBuf.h"
#include "CKW_WideString.h"

struct _IKW_Allocator;
class CXML_Element;
class IKW_FileWrite;

class CXML_Composer {
public:
    CXML_Composer(_IKW_Allocator* allocator, bool rawContent, bool noLineBreaks);
    CXML_Composer(const CXML_Composer&) = delete;
    CXML_Composer& operator=(const CXML_Composer&) = delete;

    // Composes the element with its subtree. With a stream, the text goes to
    // the stream and out is left alone; otherwise it is handed to out.
    void Compose(const CXML_Element* element, IKW_FileWrite* file, CKW_ByteStringL& out);
    // Writes one element with its subtree into the buffer. With a stream,
    // the buffer is emptied into it at the start of every element, so it
    // holds one element's start tag and text at a time. The tree is walked
    // without recursion, so any depth is written.
    void ComposeElement(const CXML_Element* element, IKW_FileWrite* file);

    CKW_ByteStringC GetText() const { return m_Buffer.GetByteString(); }

private:
    static bool HasWritableName(const CXML_Element* element);
    void FlushTo(IKW_FileWrite* file);
    void WriteName(const CKW_ByteStringL& prefix, const CKW_ByteStringL& name);
    void CloseTag(const char* end);
    void WriteStartTag(const CXML_Element* element, bool empty);
    void WriteEndTag(const CXML_Element* element);
    void WriteEscaped(uint32_t c);
    void WriteAttrValue(const CKW_WideStringL& value);
    void WriteContent(const CKW_WideStringL& text);
    void WriteCDATA(const CKW_WideStringL& text);
    void WriteUtf8(const wchar_t* text, int length);
    void WriteScalars(const wchar_t* text, int length);

    CKW_ByteTextBuf m_Buffer;
    bool m_bRawContent;
    bool m_bNoLineBreaks;
};

#endif
