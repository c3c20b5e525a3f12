#include "CXML_Composer.h"

#include "CKW_Array.h"
#include "CXML_Element.h"
#include "CXML_Parser.h"
#include "IKW_Stream.h"
#include "KW_UTF.h"

#include <cstdio>
#include <cstring>

namespace {

inline bool NeedsContentEscape(uint32_t c)
{
    return c < 0x21 || c == '"' || c == '&' || c == '\'' || c == '<' || c == '>';
}

inline bool NeedsAttrEscape(uint32_t c)
{
    return c == '"' || c == '&' || c == '<';
}

// One element being written: the next child to visit.
struct Frame {
    const CXML_Element* element;
    unsigned next;
};

} // namespace

CXML_Composer::CXML_Composer(_IKW_Allocator* allocator, bool rawContent, bool noLineBreaks)
    : m_Buffer(allocator), m_bRawContent(rawContent), m_bNoLineBreaks(noLineBreaks)
{
}

void CXML_Composer::FlushTo(IKW_FileWrite* file)
{
    if (file && m_Buffer.GetSize() > 0) {
        file->WriteBlock(m_Buffer.GetBuffer(), (size_t)m_Buffer.GetSize());
        m_Buffer.Clear();
    }
}

// UTF-8 of the characters, appended in one piece.
void CXML_Composer::WriteUtf8(const wchar_t* text, int length)
{
    if (length <= 0)
        return;
    size_t size = KW_UTF8EncodedSize(text, (size_t)length);
    if (size == 0 || size > 0x7FFFFFFF)
        return;
    int at = m_Buffer.GetSize();
    if (!m_Buffer.AppendBlock(nullptr, (int)size))
        return;
    KW_UTF8EncodeBulk(text, (size_t)length, (char*)m_Buffer.GetBuffer() + at);
}

// A name as stored, behind its prefix.
void CXML_Composer::WriteName(const CKW_ByteStringL& prefix, const CKW_ByteStringL& name)
{
    if (prefix.m_Length > 0) {
        m_Buffer << CKW_ByteStringC(prefix.m_Ptr, prefix.m_Length);
        m_Buffer << ":";
    }
    m_Buffer << CKW_ByteStringC(name.m_Ptr, name.m_Length);
}

// The reader takes an attribute only when its first byte can start a name,
// yet it stores names such as "" and "2b" (read from ':="v"' and ':2b="v"').
// Such a name is written behind a ':', which the reader drops again, so that
// the text reads back as the same attribute instead of failing its element.
void CXML_Composer::WriteAttrName(const CKW_ByteStringL& prefix, const CKW_ByteStringL& name)
{
    const char* first = prefix.m_Length > 0 ? prefix.m_Ptr : name.m_Length > 0 ? name.m_Ptr : nullptr;
    if (!first || !g_KWCRT_XML_IsNameIntro((uint8_t)*first))
        m_Buffer << ":";
    WriteName(prefix, name);
}

void CXML_Composer::CloseTag(const char* end)
{
    if (!m_bNoLineBreaks)
        m_Buffer << "\r\n";
    m_Buffer << end;
}

void CXML_Composer::WriteAttrValue(const CKW_WideStringL& value)
{
    const wchar_t* text = value.m_Ptr;
    const int length = value.m_Length;
    int run = 0;
    for (int i = 0; i < length; i++) {
        uint32_t c = (uint32_t)text[i];
        if (!NeedsAttrEscape(c))
            continue;
        WriteUtf8(text + run, i - run);
        run = i + 1;
        m_Buffer << (c == '"' ? "&quot;" : c == '&' ? "&amp;" : "&lt;");
    }
    WriteUtf8(text + run, length - run);
}

void CXML_Composer::WriteContent(const CKW_WideStringL& content)
{
    const wchar_t* text = content.m_Ptr;
    const int length = content.m_Length;
    if (m_bRawContent) {
        WriteUtf8(text, length);
        return;
    }
    // The edges are the first and last characters actually written: a
    // space behind a character without a UTF-8 form still starts the text,
    // and the reader would take it for white space between markup.
    int first = 0, last = length - 1;
    while (first < length && (int32_t)text[first] < 0)
        first++;
    while (last > first && (int32_t)text[last] < 0)
        last--;
    int run = 0;
    for (int i = 0; i < length; i++) {
        uint32_t c = (uint32_t)text[i];
        if (!NeedsContentEscape(c))
            continue;
        if (c == ' ' && i != first && i != last)
            continue;
        WriteUtf8(text + run, i - run);
        run = i + 1;
        switch (c) {
        case '"':
            m_Buffer << "&quot;";
            break;
        case '&':
            m_Buffer << "&amp;";
            break;
        case '\'':
            m_Buffer << "&apos;";
            break;
        case '<':
            m_Buffer << "&lt;";
            break;
        case '>':
            m_Buffer << "&gt;";
            break;
        default: {
            char reference[8];
            snprintf(reference, sizeof reference, "&#x%02X;", (unsigned)c);
            m_Buffer << reference;
        }
        }
    }
    WriteUtf8(text + run, length - run);
}

// "]]>" inside the text would end the section: each one is split after its
// "]]", which ends the section, and its '>' opens the next.
void CXML_Composer::WriteCDATA(const CKW_WideStringL& content)
{
    const wchar_t* text = content.m_Ptr;
    const int length = content.m_Length;
    m_Buffer << "<![CDATA[";
    int run = 0;
    for (int i = 0; i + 2 < length; i++) {
        if (text[i] == ']' && text[i + 1] == ']' && text[i + 2] == '>') {
            WriteUtf8(text + run, i + 2 - run);
            m_Buffer << "]]><![CDATA[";
            run = i + 2;
        }
    }
    WriteUtf8(text + run, length - run);
    m_Buffer << "]]>";
}

void CXML_Composer::WriteStartTag(const CXML_Element* element, bool empty)
{
    m_Buffer << "<";
    WriteName(element->m_QSpaceName, element->m_TagName);
    int count = element->m_AttrMap.GetSize();
    for (int i = 0; i < count; i++) {
        const CXML_AttrItem& item = element->m_AttrMap.GetAt(i);
        m_Buffer << " ";
        WriteAttrName(item.m_QSpaceName, item.m_AttrName);
        m_Buffer << "=\"";
        WriteAttrValue(item.m_Value);
        m_Buffer << "\"";
    }
    CloseTag(empty ? "/>" : ">");
}

void CXML_Composer::WriteEndTag(const CXML_Element* element)
{
    m_Buffer << "</";
    WriteName(element->m_QSpaceName, element->m_TagName);
    CloseTag(">");
}

void CXML_Composer::ComposeElement(const CXML_Element* root, IKW_FileWrite* file)
{
    if (!root)
        return;
    FlushTo(file);
    if (root->CountChildren() == 0) {
        WriteStartTag(root, true);
        return;
    }
    WriteStartTag(root, false);
    CKW_BasicArray stack((int)sizeof(Frame), m_Buffer.GetAllocator());
    Frame* top = (Frame*)stack.InsertSpaceAt(0, 1);
    if (!top) {
        WriteEndTag(root);
        return;
    }
    *top = {root, 0};
    while (stack.GetSize() > 0) {
        int depth = stack.GetSize() - 1;
        Frame frame = *(Frame*)stack.GetDataPtr(depth);
        const CXML_Element* element = frame.element;
        if (frame.next >= element->CountChildren()) {
            WriteEndTag(element);
            stack.SetSize(depth, -1);
            continue;
        }
        unsigned index = frame.next;
        ((Frame*)stack.GetDataPtr(depth))->next = index + 1;
        switch (element->GetChildType(index)) {
        case CXML_Element::Element: {
            const CXML_Element* child = element->GetElement(index);
            FlushTo(file);
            if (child->CountChildren() == 0) {
                WriteStartTag(child, true);
                break;
            }
            // Out of memory for one more level: the child is left out
            // rather than written with a wrong structure.
            Frame* slot = (Frame*)stack.InsertSpaceAt(depth + 1, 1);
            if (!slot)
                break;
            *slot = {child, 0};
            WriteStartTag(child, false);
            break;
        }
        case CXML_Element::Content: {
            const CKW_WideStringL* text = element->GetContentPtr(index);
            if (element->IsContentCDATA(index))
                WriteCDATA(*text);
            else
                WriteContent(*text);
            break;
        }
        default:
            break;
        }
    }
}

void CXML_Composer::Compose(const CXML_Element* element, IKW_FileWrite* file, CKW_ByteStringL& out)
{
    ComposeElement(element, file);
    if (file)
        FlushTo(file);
    else
        m_Buffer.GetByteStringL(out);
}

// ---------------------------------------------------------------------------
// The element's writers

CKW_ByteString CXML_Element::OutputStream(bool rawContent, bool noLineBreaks) const
{
    CXML_Composer composer(nullptr, rawContent, noLineBreaks);
    composer.ComposeElement(this, nullptr);
    return CKW_ByteString(composer.GetText());
}

void CXML_Element::OutputStream(CKW_ByteStringL& out, bool rawContent, bool noLineBreaks) const
{
    CXML_Composer composer(GetAllocator(), rawContent, noLineBreaks);
    composer.Compose(this, nullptr, out);
}

void CXML_Element::OutputStream(IKW_FileWrite* file, bool rawContent, bool noLineBreaks) const
{
    if (!file)
        return;
    CXML_Composer composer(GetAllocator(), rawContent, noLineBreaks);
    CKW_ByteStringL unused;
    composer.Compose(this, file, unused);
}
