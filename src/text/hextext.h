#pragma once
// Fixed-width hexadecimal text as the editor shows and reads it. None of these fail towards the
// caller: unconvertible input turns into a fixed result instead.

#include <QString>

// A 16-bit word as four upper-case hex digits; wider values keep all their digits, negative
// values show their 32-bit two's complement, and values outside the signed 32-bit range give
// "0000".
QString four(qint64 x);

// A byte as two upper-case hex digits, with the same rules as four() ("00" on failure).
QString two(qint64 x);

// A typed type or subtype brought to two characters: "" -> "00", one character gets a "0" in
// front, two stay, three or more give the empty text. Case is never changed.
QString twa(const QString &x);

// Two hex digits back to 0..255. One character counts as "0" plus it; more than two give 0;
// any character other than 0-9 and upper-case A-F counts as the digit 0.
int cHex(const QString &shex);

// What the user typed, upper-cased, keeping only hex digits in their order.
QString QCase(const QString &j);
