#include "CXML_Composer.h"

#include "CKW_Array.h"
#include "CXML_Element.h"
#include "IKW_Stream.h"
#include "KW_UTF.h"

#include <cstdio>
#include <cstring>

namespace {

inline bool NeedsContentEscape(uint32_t c)
{
    return c < 0x21 || c == '"' || c == '&' || c == '\'' || c == '<' || c == '>';
}

// Tab, line feed and carriage return too: written raw, other readers would
// turn them into blanks (attribute-value normalisation).
inline bool NeedsAttrEscape(uint32_t c)
{
    return c == '"' || c == '&' || c == '<' || c == '\t' || c == '\n' || c == '\r';
}

// The characters an XML 1.0 document can hold at all, raw or as a reference.
inline bool IsXmlChar(uint32_t c)
{
    if (c < 0x20)
        return c == 0x09 || c == 0x0A || c == 0x0D;
    return c <= 0xD7FF || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
}

const char kReplacement[] = "\xEF\xBF\xBD";   // U+FFFD

CKW_ByteStringC ViewOf(const CKW_ByteStringL& text)
{
    return CKW_ByteStringC(text.m_Ptr, text.m_Length);
}

// Whether a stored name can be written: a local XML name behind an optional
// local XML name as its prefix, as the element's setters take them. The
// reader is more lenient (stored documents may hold such names); anything
// else would make the text one that other readers refuse.
bool IsWritableName(const CKW_ByteStringL& prefix, const CKW_ByteStringL& name)
{
    return KW_XML_IsLocalName(ViewOf(name)) && (prefix.m_Length == 0 || KW_XML_IsLocalName(ViewOf(prefix)));
}

// One element being written: the next child to visit.
struct Frame {
    const CXML_Element* element;
    unsigned next;
};

} // namespace

// An element whose name is no XML name ("", "2b", invalid UTF-8, a
// character that cannot stand in a name) has no form in XML: it is left out
// with its subtree, rather than giving its children a parent they do not
// have.
bool CXML_Composer::HasWritableName(const CXML_Element* element)
{
    return IsWritableName(element->m_QSpaceName, element->m_TagName);
}

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

// UTF-8 of the characters, a character XML cannot hold (a control character
// other than tab, line feed and carriage return, a surrogate, U+FFFE, U+FFFF,
// anything past U+10FFFF) as U+FFFD: other readers refuse the document
// otherwise.
void CXML_Composer::WriteUtf8(const wchar_t* text, int length)
{
    int run = 0;
    for (int i = 0; i < length; i++) {
        if (IsXmlChar((uint32_t)text[i]))
            continue;
        WriteScalars(text + run, i - run);
        m_Buffer << kReplacement;
        run = i + 1;
    }
    WriteScalars(text + run, length - run);
}

// UTF-8 of characters that all have a form XML accepts, in one piece.
void CXML_Composer::WriteScalars(const wchar_t* text, int length)
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

// A name as stored, behind its prefix; only names IsWritableName accepts
// come here.
void CXML_Composer::WriteName(const CKW_ByteStringL& prefix, const CKW_ByteStringL& name)
{
    if (prefix.m_Length > 0) {
        m_Buffer << ViewOf(prefix);
        m_Buffer << ":";
    }
    m_Buffer << ViewOf(name);
}

void CXML_Composer::CloseTag(const char* end)
{
    if (!m_bNoLineBreaks)
        m_Buffer << "\r\n";
    m_Buffer << end;
}

// One character that cannot stand raw where it is: the markup characters
// by name, tab, line feed, carriage return and space as numeric references;
// XML has no form at all for the other controls.
void CXML_Composer::WriteEscaped(uint32_t c)
{
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
    default:
        if (IsXmlChar(c)) {
            char reference[8];
            snprintf(reference, sizeof reference, "&#x%02X;", (unsigned)c);
            m_Buffer << reference;
        } else {
            m_Buffer << kReplacement;
        }
    }
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
        WriteEscaped(c);
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
    int run = 0;
    for (int i = 0; i < length; i++) {
        uint32_t c = (uint32_t)text[i];
        if (!NeedsContentEscape(c))
            continue;
        // A space inside the text is plain; at an edge the reader would take
        // it for white space between markup.
        if (c == ' ' && i != 0 && i != length - 1)
            continue;
        WriteUtf8(text + run, i - run);
        run = i + 1;
        WriteEscaped(c);
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
        // Left out like an element without an XML name.
        if (!IsWritableName(item.m_QSpaceName, item.m_AttrName))
            continue;
        m_Buffer << " ";
        WriteName(item.m_QSpaceName, item.m_AttrName);
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
    if (!root || !HasWritableName(root))
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
            if (!HasWritableName(child))
                break;
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
