// Compose -> parse round trip: a tree, written by the composer and read back
// with spaces saved, must give the same tree. Shared by the XML tests and the
// round-trip fuzz target.
//
// Content is compared after dropping empty runs and merging adjacent runs of
// the same kind (the reader splits and joins text at comments, sections and
// sizes of its own). Characters that no XML document can hold (controls
// other than tab, line feed and carriage return, surrogates, U+FFFE, U+FFFF,
// code points past U+10FFFF) are written as U+FFFD; the first tree's
// characters are mapped the same way before comparing.
#ifndef CORE_XML_ROUND_TRIP_H
#define CORE_XML_ROUND_TRIP_H

#include "CXML_Element.h"
#include "XmlTestSupport.h"

#include <string>
#include <vector>

inline std::wstring XmlWritable(const wchar_t* text, int length)
{
    std::wstring out;
    for (int i = 0; i < length; i++) {
        const uint32_t c = (uint32_t)text[i];
        const bool held = c < 0x20 ? c == 0x09 || c == 0x0A || c == 0x0D
                                   : c <= 0xD7FF || (c >= 0xE000 && c <= 0xFFFD) || (c >= 0x10000 && c <= 0x10FFFF);
        out += held ? text[i] : (wchar_t)0xFFFD;
    }
    return out;
}

inline std::string XmlTextOf(const std::wstring& text)
{
    return XmlText(text.data(), (int)text.size());
}

// Whether the composer writes a name: the reader takes names that XML does
// not ("2b", invalid UTF-8, U+00D7 ...), and their elements and attributes
// are left out of the text.
inline bool XmlWritableName(const CKW_ByteString& prefix, const CKW_ByteString& name)
{
    return KW_XML_IsLocalName(name) && (prefix.IsEmpty() || KW_XML_IsLocalName(prefix));
}

inline bool XmlWritableElement(const CXML_Element* e)
{
    return XmlWritableName(e->GetNamespace(true), e->GetTagName(false));
}

// XmlDump with the normalisation above; iterative, so deep trees are fine.
// With writtenOnly, what the composer leaves out is left out here too.
inline std::string XmlCanonical(const CXML_Element* root, bool writtenOnly = false)
{
    if (!root || (writtenOnly && !XmlWritableElement(root)))
        return "(null)";
    std::string out;
    struct Frame {
        const CXML_Element* element;
        unsigned next;
    };
    std::vector<Frame> stack;
    auto open = [&](const CXML_Element* e) {
        out += e->GetTagName(true).c_str();
        out += "{";
        for (int i = 0; i < e->CountAttrs(); i++) {
            CKW_ByteString prefix, name;
            CKW_WideString value;
            e->GetAttrByIndex(i, prefix, name, value);
            if (writtenOnly && !XmlWritableName(prefix, name))
                continue;
            out += prefix.c_str();
            out += ":";
            out += name.c_str();
            out += "=";
            out += XmlTextOf(XmlWritable(value.c_str(), value.GetLength()));
            out += ",";
        }
        out += "}[";
        stack.push_back({e, 0});
    };
    open(root);
    std::wstring pending;
    int pendingKind = 0;   // 0 none, 1 text, 2 CDATA
    auto flush = [&] {
        if (pendingKind) {
            out += pendingKind == 2 ? "C\"" : "\"";
            out += XmlTextOf(pending);
            out += "\",";
        }
        pending.clear();
        pendingKind = 0;
    };
    while (!stack.empty()) {
        Frame& frame = stack.back();
        const CXML_Element* e = frame.element;
        if (frame.next >= e->CountChildren()) {
            flush();
            out += "]";
            stack.pop_back();
            continue;
        }
        unsigned i = frame.next++;
        if (e->GetChildType(i) == CXML_Element::Element) {
            if (writtenOnly && !XmlWritableElement(e->GetElement(i)))
                continue;   // the text on both sides of it runs together
            flush();
            open(e->GetElement(i));
            continue;
        }
        const CKW_WideStringL* text = e->GetContentPtr(i);
        if (!text)
            continue;
        std::wstring writable = XmlWritable(text->m_Ptr, text->m_Length);
        if (writable.empty())
            continue;
        int kind = e->IsContentCDATA(i) ? 2 : 1;
        if (kind != pendingKind)
            flush();
        pendingKind = kind;
        pending += writable;
    }
    return out;
}

// The tree's text, read back: what it gives, next to what it should give.
struct XmlRoundTrip {
    std::string expected;
    std::string actual;
    std::string text;
};

inline XmlRoundTrip XmlComposeAndParse(const CXML_Element* root, bool noLineBreaks,
                                       _IKW_Allocator* allocator = nullptr)
{
    XmlRoundTrip result;
    result.expected = XmlCanonical(root, true);
    CKW_ByteString text = root->OutputStream(false, noLineBreaks);
    result.text.assign(text.c_str(), (size_t)text.GetLength());
    CXML_Element* back = CXML_Element::Parse(result.text.data(), result.text.size(), true, nullptr, allocator);
    result.actual = XmlCanonical(back);
    CXML_Element::Destroy(back);
    return result;
}

#endif
