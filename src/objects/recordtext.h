#pragma once
// Object records as clipboard text: one record a line, "XXXX YYYY TT SS" in hexadecimal, the
// way the object list shows them.

#include "objects/layoutarea.h"

#include <QString>
#include <QVector>

#include <optional>

namespace layout {

QString recordsText(const QVector<Record> &records);

// The records of `text`, blank lines skipped; nullopt with the reason when a line is anything
// else than four hexadecimal fields of 4, 4, 2 and 2 digits.
std::optional<QVector<Record>> parseRecords(const QString &text, QString *refusal);

} // namespace layout
