#pragma once
// A gzip body that is small on the wire and huge once inflated: `inflatedSize`
// zero bytes (a whole number of MiB) in about a thousandth of that. It is a
// valid gzip member, so a client that inflates it does so to the end.
#include <QByteArray>

QByteArray gzipOfZeros(qint64 inflatedSize);
