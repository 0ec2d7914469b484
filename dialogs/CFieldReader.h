#pragma once
// Reads and checks a dialog's fields, in the order the dialog asks for them.
//
// The first field at fault shows its message through the message sink (the
// program shows it in a box captioned "Orvex"), receives the focus with its
// whole text selected, and every later read returns nothing without looking
// at its field: the dialog stays open and reports the one fault. The texts are
// the program's own:
//   "Tapez un nombre entier."                          an integer did not parse
//   "Tapez un nombre entier compris entre %1 et %2."   an integer out of range
//   "Veuillez entrer un entier compris entre 0 et 255." a byte did not parse or fit
//   "Tapez un nombre."                                 a number did not parse

#include <optional>

class QLineEdit;
class QString;

// Blanks and tabs around an optional sign and decimal digits, nothing else;
// a value of zero must be written starting with the digit 0, so an empty text
// and "-0" are refused. Values beyond 32 bits are refused too.
std::optional<int> ParseFieldInteger(const QString& text);

// Blanks and tabs around one decimal number (sign, digits, an optional point
// and fraction, an optional exponent), nothing else; a value of zero must be
// written starting with the digit 0, so "", "+0" and ".0" are refused. The
// point is always ".", whatever the locale: "1,5" is refused.
std::optional<double> ParseFieldNumber(const QString& text);

class CFieldReader {
public:
    // An integer ("Tapez un nombre entier.").
    std::optional<int> Integer(QLineEdit* field);
    // An integer within low .. high.
    std::optional<int> Integer(QLineEdit* field, int low, int high);
    // An unsigned integer 0 .. 255.
    std::optional<int> Byte(QLineEdit* field);
    // An unsigned integer 0 .. 255, then within low .. high ("Tapez un nombre
    // entier compris entre %1 et %2.").
    std::optional<int> Byte(QLineEdit* field, int low, int high);
    // A decimal number, kept as a 32-bit float.
    std::optional<float> Float(QLineEdit* field);

    // True while no field has failed.
    bool Ok() const { return !failed_; }

private:
    std::optional<int> WithinRange(QLineEdit* field, std::optional<int> value, int low, int high);
    bool Fail(QLineEdit* field, const QString& message);

    bool failed_ = false;
};
