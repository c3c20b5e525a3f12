// Expat's reading of a text, in the form of XmlCanonical: an independent
// reader that takes only well-formed XML 1.0. Shared by the XML tests and the
// round-trip fuzz target.
#ifndef CORE_XML_EXPAT_CANONICAL_H
#define CORE_XML_EXPAT_CANONICAL_H

#include "CKW_WideString.h"
#include "XmlTestSupport.h"

#include <expat.h>
#include <string>

// Expat's reading of the text, in the form of XmlCanonical.
class ExpatCanonical {
public:
    // "(refused: ...)" when expat does not take the text as a document.
    static std::string Read(const std::string& text)
    {
        ExpatCanonical reader;
        XML_Parser parser = XML_ParserCreate(nullptr);
        XML_SetUserData(parser, &reader);
        XML_SetElementHandler(parser, Start, End);
        XML_SetCharacterDataHandler(parser, Text);
        XML_SetCdataSectionHandler(parser, [](void* r) { static_cast<ExpatCanonical*>(r)->m_InCdata = true; },
                                   [](void* r) { static_cast<ExpatCanonical*>(r)->m_InCdata = false; });
        const bool ok = XML_Parse(parser, text.data(), (int)text.size(), 1) == XML_STATUS_OK;
        std::string error = ok ? "" : XML_ErrorString(XML_GetErrorCode(parser));
        XML_ParserFree(parser);
        return ok ? reader.m_Out : "(refused: " + error + ")";
    }

private:
    static std::string Quoted(const std::string& utf8)
    {
        CKW_WideString wide = CKW_WideString::FromUTF8(utf8.data(), (int)utf8.size());
        return XmlText(wide.c_str(), wide.GetLength());
    }
    static void Start(void* self, const XML_Char* name, const XML_Char** attrs)
    {
        ExpatCanonical* r = static_cast<ExpatCanonical*>(self);
        r->Flush();
        r->m_Out += name;
        r->m_Out += "{";
        for (int i = 0; attrs[i]; i += 2) {
            std::string attr = attrs[i];
            r->m_Out += attr.find(':') == std::string::npos ? ":" + attr : attr;
            r->m_Out += "=" + Quoted(attrs[i + 1]) + ",";
        }
        r->m_Out += "}[";
    }
    static void End(void* self, const XML_Char*)
    {
        ExpatCanonical* r = static_cast<ExpatCanonical*>(self);
        r->Flush();
        r->m_Out += "]";
    }
    static void Text(void* self, const XML_Char* s, int length)
    {
        // Runs of one kind are joined, as XmlCanonical joins them: where
        // sections start and end is the writer's choice.
        ExpatCanonical* r = static_cast<ExpatCanonical*>(self);
        if (length > 0 && r->m_PendingCdata != r->m_InCdata) {
            r->Flush();
            r->m_PendingCdata = r->m_InCdata;
        }
        r->m_Pending.append(s, (size_t)length);
    }
    void Flush()
    {
        if (!m_Pending.empty())
            m_Out += (m_PendingCdata ? "C\"" : "\"") + Quoted(m_Pending) + "\",";
        m_Pending.clear();
    }

    std::string m_Out;
    std::string m_Pending;
    bool m_PendingCdata = false;
    bool m_InCdata = false;
};

#endif
