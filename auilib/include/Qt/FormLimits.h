// Bounds on a form's text, checked before Qt's form reader sees it. That
// reader descends recursively, one call chain per nesting level, and checks
// an element's attributes against each other pairwise: a form made deep or
// wide on purpose overflows the stack or runs for minutes. Anyone can
// encipher a form, so the text is measured first, in one iterative pass.
//
// The limits are far above what any real dialog uses (a large dialog has a
// few hundred widgets, nesting of a few dozen elements and a handful of
// attributes per element, in well under a megabyte):
//   - at most kMaxFormBytes bytes of UTF-8 text;
//   - elements nested at most kMaxFormDepth deep (the root element is 1);
//   - at most kMaxFormElements elements in all;
//   - at most kMaxFormAttributes attributes on one element;
//   - no document type declaration: real forms have none, and the entities
//     it declares could expand into elements this count never sees.
#pragma once

#include <QByteArray>

namespace AUILib {

constexpr int kMaxFormBytes = 4 * 1024 * 1024;
constexpr int kMaxFormDepth = 256;
constexpr int kMaxFormElements = 100000;
constexpr int kMaxFormAttributes = 64;

// True when form is within every limit above. The check is not an XML
// parser: text that is not well-formed may pass and is left for the form
// reader to refuse, but for well-formed text every count is exact.
bool FormWithinLimits(const QByteArray& form);

} // namespace AUILib
