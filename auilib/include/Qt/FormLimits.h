// Bounds on a form's text, checked before Qt's form reader sees it. That
// reader descends recursively, one call chain per nesting level, and checks
// an element's attributes against each other pairwise: a form made deep or
// wide on purpose overflows the stack or runs for minutes. Anyone can
// encipher a form, so the text is measured first, in one iterative pass.
//
// Loading is not linear in every count either: Qt's builder applies a
// widget's properties and adds tab pages at a cost that grows with those
// already there, and lays out every text when the dialog shows. So the
// limits are a few times what real dialogs use (a large dialog has a few
// hundred elements nested a dozen deep, a few dozen children per element and
// texts of a few hundred bytes), low enough that a form just within all of
// them loads and shows in well under two seconds:
//   - at most kMaxFormBytes bytes of UTF-8 text;
//   - elements nested at most kMaxFormDepth deep (the root element is 1);
//   - at most kMaxFormElements elements in all;
//   - at most kMaxFormChildren elements directly inside one element (the
//     properties of a widget, the pages of a tab widget, the items of a
//     layout);
//   - at most kMaxFormAttributes attributes on one element;
//   - at most kMaxFormText bytes of character data in one piece;
//   - no document type declaration: real forms have none, and the entities
//     it declares could expand into elements this count never sees.
//
// A few numbers in a form make Qt allocate in proportion to their value, so
// a short form can ask for gigabytes or crash the layout. They are bounded to
// what a dialog on any screen needs:
//   - grid cells: row and column below kMaxFormGridLines, spans from 1 and
//     ending within kMaxFormGridLines (a negative span would reach to the
//     grid's edge; no real form writes one);
//   - table row and column counts at most kMaxFormTableLines;
//   - a splitter's handle width at most kMaxFormHandleWidth;
//   - widths and heights of geometries and sizes, layout margins and
//     spacings, frame line widths at most kMaxFormExtent pixels, except a
//     maximum size (Designer writes "no maximum" as 16777215, and a maximum
//     allocates nothing).
// Once built, a dialog whose layout needs more than kMaxFormExtent pixels
// across is refused as well: widgets each within these limits can add up.
#pragma once

#include <QByteArray>

namespace AUILib {

constexpr int kMaxFormBytes = 1024 * 1024;
constexpr int kMaxFormDepth = 256;
constexpr int kMaxFormElements = 10000;
constexpr int kMaxFormChildren = 1000;
constexpr int kMaxFormAttributes = 64;
constexpr int kMaxFormText = 16 * 1024;
constexpr int kMaxFormGridLines = 1000;
constexpr int kMaxFormTableLines = 1000;
constexpr int kMaxFormHandleWidth = 64;
constexpr int kMaxFormExtent = 4096;

// True when form is within every limit above. Text that is not well-formed
// may pass and is left for the form reader to refuse, but for well-formed
// text every count and number is checked exactly.
bool FormWithinLimits(const QByteArray& form);

} // namespace AUILib
