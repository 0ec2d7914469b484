#include "CFieldReader.h"

#include <QLineEdit>
#include <QString>
#include <charconv>
#include <limits>
#include <string>

#include "Message.h"

namespace {

bool IsBlank(QChar c) { return c == u' ' || c == u'\t'; }

QString TrimBlanks(const QString& text) {
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && IsBlank(text[first])) ++first;
    while (last > first && IsBlank(text[last - 1])) --last;
    return text.mid(first, last - first);
}

bool IsDigit(QChar c) { return c >= u'0' && c <= u'9'; }

// Accepts [sign] digits [. digits] [e [sign] digits], with at least one digit
// before the exponent.
bool IsDecimalNumber(const QString& s) {
    qsizetype i = 0;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
    qsizetype digits = 0;
    while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    if (i < s.size() && s[i] == u'.') {
        ++i;
        while (i < s.size() && IsDigit(s[i])) ++i, ++digits;
    }
    if (digits == 0) return false;
    if (i < s.size() && (s[i] == u'e' || s[i] == u'E')) {
        ++i;
        if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) ++i;
        qsizetype exponentDigits = 0;
        while (i < s.size() && IsDigit(s[i])) ++i, ++exponentDigits;
        if (exponentDigits == 0) return false;
    }
    return i == s.size();
}

}  // namespace

std::optional<int> ParseFieldInteger(const QString& text) {
    const QString s = TrimBlanks(text);
    qsizetype i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    if (i == s.size()) return std::nullopt;
    long long value = 0;
    for (; i < s.size(); ++i) {
        if (!IsDigit(s[i])) return std::nullopt;
        value = value * 10 + (s[i].unicode() - u'0');
        if (value > std::numeric_limits<int>::max()) return std::nullopt;
    }
    if (value == 0 && s[0] != u'0') return std::nullopt;
    return static_cast<int>(negative ? -value : value);
}

std::optional<double> ParseFieldNumber(const QString& text) {
    const QString s = TrimBlanks(text);
    if (!IsDecimalNumber(s)) return std::nullopt;
    const std::string latin = s.toStdString();
    const char* begin = latin.data() + (latin[0] == '+' ? 1 : 0);
    double value = 0;
    const auto [end, error] = std::from_chars(begin, latin.data() + latin.size(), value);
    if (error != std::errc() || end != latin.data() + latin.size()) return std::nullopt;
    if (value == 0 && s[0] != u'0') return std::nullopt;
    return value;
}

std::optional<int> CFieldReader::Integer(QLineEdit* field) {
    if (failed_) return std::nullopt;
    const std::optional<int> value = ParseFieldInteger(field->text());
    if (!value) Fail(field, QStringLiteral("Tapez un nombre entier."));
    return value;
}

std::optional<int> CFieldReader::Integer(QLineEdit* field, int low, int high) {
    return WithinRange(field, Integer(field), low, high);
}

std::optional<int> CFieldReader::Byte(QLineEdit* field) {
    if (failed_) return std::nullopt;
    const std::optional<int> value = ParseFieldInteger(field->text());
    if (!value || *value < 0 || *value > 255) {
        Fail(field, QStringLiteral("Veuillez entrer un entier compris entre 0 et 255."));
        return std::nullopt;
    }
    return value;
}

std::optional<int> CFieldReader::Byte(QLineEdit* field, int low, int high) {
    return WithinRange(field, Byte(field), low, high);
}

std::optional<int> CFieldReader::WithinRange(QLineEdit* field, std::optional<int> value, int low,
                                             int high) {
    if (value && (*value < low || *value > high)) {
        Fail(field,
             QStringLiteral("Tapez un nombre entier compris entre %1 et %2.").arg(low).arg(high));
        return std::nullopt;
    }
    return value;
}

std::optional<float> CFieldReader::Float(QLineEdit* field) {
    if (failed_) return std::nullopt;
    const std::optional<double> value = ParseFieldNumber(field->text());
    if (!value) {
        Fail(field, QStringLiteral("Tapez un nombre."));
        return std::nullopt;
    }
    return static_cast<float>(*value);
}

bool CFieldReader::Fail(QLineEdit* field, const QString& message) {
    failed_ = true;
    ShowMessage(message.toStdString());
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
    return false;
}
