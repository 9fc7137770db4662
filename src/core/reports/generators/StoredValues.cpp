#include "reports/generators/StoredValues.h"

#include "reports/generators/ReportRunError.h"

#include <QByteArray>
#include <QRegularExpression>
#include <QString>
#include <limits>

namespace {

bool isWhole(const QVariant& v) {
    const int type = v.typeId();
    return type == QMetaType::LongLong || type == QMetaType::Int;
}

bool isText(const QVariant& v) {
    return v.typeId() == QMetaType::QString;
}

// 0 NULL, 1 a number, 2 a text, 3 a blob: the engine's order of the kinds.
int kindRank(const QVariant& v) {
    if (v.isNull())
        return 0;
    if (isText(v))
        return 2;
    if (v.typeId() == QMetaType::QByteArray)
        return 3;
    return 1;
}

QByteArray bytesOf(const QVariant& v) {
    return isText(v) ? v.toString().toUtf8() : v.toByteArray();
}

// The number a text starts with, as the engine reads a text that is no number as a whole: 0 when
// it starts with none.
double leadingNumber(const QString& text) {
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d+\\.?\\d*|\\.\\d+)([eE][+-]?\\d+)?"));
    const QRegularExpressionMatch m = number.match(text);
    return m.hasMatch() ? m.captured().trimmed().toDouble() : 0;
}

} // namespace

std::optional<int> wholeNumber(const QVariant& value) {
    if (!isWhole(value))
        return std::nullopt;
    const qlonglong n = value.toLongLong();
    if (n < std::numeric_limits<int>::min() || n > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(n);
}

std::optional<int> wholeNumber(const SqlValue& value) {
    if (value.kind != SqlValue::Integer || value.integer < std::numeric_limits<int>::min() ||
        value.integer > std::numeric_limits<int>::max())
        return std::nullopt;
    return int(value.integer);
}

int compareStored(const QVariant& a, const QVariant& b) {
    if (isWhole(a) && isWhole(b)) {
        const qlonglong x = a.value<qlonglong>(), y = b.value<qlonglong>();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    const int ra = kindRank(a), rb = kindRank(b);
    if (ra != rb)
        return ra < rb ? -1 : 1;
    if (ra == 0)
        return 0;
    if (ra == 1) {
        const double x = a.toDouble(), y = b.toDouble();
        return x < y ? -1 : x > y ? 1 : 0;
    }
    const QByteArray x = bytesOf(a), y = bytesOf(b);
    return x < y ? -1 : x > y ? 1 : 0;
}

void StoredSum::add(const QVariant& value) {
    if (value.isNull())
        return;
    if (isWhole(value)) {
        addWhole(value.toLongLong());
        return;
    }
    m_any = true;
    if (kindRank(value) == 1) {
        m_real += value.toDouble();
        m_isReal = true;
        return;
    }
    // A text (or blob) that is a whole number counts as one, as the engine reads it.
    const QString text = isText(value) ? value.toString() : QString::fromUtf8(value.toByteArray());
    bool ok = false;
    const qlonglong n = text.trimmed().toLongLong(&ok);
    if (ok) {
        add(QVariant(n));
        return;
    }
    const double real = text.trimmed().toDouble(&ok);
    m_real += ok ? real : leadingNumber(text);
    m_isReal = true;
}

void StoredSum::add(const SqlValue& value) {
    switch (value.kind) {
    case SqlValue::Null:
        return;
    case SqlValue::Integer:
        addWhole(value.integer);
        return;
    case SqlValue::Real:
        m_any = true;
        m_real += value.real;
        m_isReal = true;
        return;
    case SqlValue::Text:
        add(QVariant(QString::fromUtf8(value.bytes)));
        return;
    case SqlValue::Blob:
        add(QVariant(value.bytes.data() ? value.bytes.toByteArray() : QByteArray()));
        return;
    }
}

void StoredSum::addWhole(qint64 value) {
    m_any = true;
    m_real += double(value);
    if (!m_isReal && __builtin_add_overflow(m_whole, value, &m_whole))
        throw ReportRunError(QStringLiteral("Overflow"));
}

QVariant StoredSum::total() const {
    if (!m_any)
        return QVariant();
    return m_isReal ? QVariant(m_real) : QVariant(qlonglong(m_whole));
}
