#pragma once

// Every message text of the record-set framework, in one place. The texts
// are German like the rest of the framework's messages; "%s", "%d" and "%g"
// are filled in order by FillMessage (database_error.h).

#include <string_view>

namespace recordset::messages {

// Field conversions (raised without a component name).
inline constexpr std::string_view kInvalidIntegerValue =
    "'%s' ist kein gültiger Integerwert für Feld '%s'";
inline constexpr std::string_view kInvalidFloatValue =
    "'%s' ist kein gültiger Fließkommawert für Feld '%s'";
inline constexpr std::string_view kInvalidBooleanValue =
    "'%s' ist kein gültiger boolescher Wert für Feld '%s'";
inline constexpr std::string_view kInvalidDateTimeValue =
    "'%s' ist kein gültiger Datums- und Zeitwert für Feld '%s'";
inline constexpr std::string_view kInvalidGuidValue =
    "'%s' ist kein gültiger GUID-Wert für Feld '%s'";
inline constexpr std::string_view kValueOutOfRange =
    "%g ist kein gültiger Wert für das Feld '%s'. Der zulässige Bereich ist %g bis %g";
inline constexpr std::string_view kInvalidVariantValue = "Ungültiger Wert für Feld '%s'";
inline constexpr std::string_view kBcdOverflow =
    "Wert des Feldes '%s' ist außerhalb des zulässigen Bereichs";
inline constexpr std::string_view kFieldWithoutDataSet = "Feld '%s' hat keine Datenmenge";

// Field definitions.
inline constexpr std::string_view kFieldNameMissing = "Feldname fehlt";
inline constexpr std::string_view kInvalidFieldSize = "Ungültige Feldgröße";
inline constexpr std::string_view kDuplicateFieldName = "Doppelter Feldname '%s'";
inline constexpr std::string_view kUnknownFieldType = "Feld '%s' ist von einem unbekannten Typ";
inline constexpr std::string_view kFieldTypeMismatch =
    "Typ für Feld '%s' stimmt nicht überein. Erwartet: %s, tatsächlich: %s";
inline constexpr std::string_view kFieldSizeMismatch =
    "Größe für Feld '%s' stimmt nicht überein. Erwartet: %d, tatsächlich: %d";

// Record-set operations (prefixed with the record-set's name).
inline constexpr std::string_view kDataSetClosed =
    "Operation bei geschlossener Datenmenge nicht ausführbar";
inline constexpr std::string_view kDataSetOpen =
    "Operation bei geöffneter Datenmenge nicht ausführbar";
inline constexpr std::string_view kNotEditing = "Datenmenge weder im Editier- noch im Einfügemodus";
inline constexpr std::string_view kDataSetReadOnly =
    "Eine Datenmenge, die nur zum Lesen ist, kann nicht geändert werden";
inline constexpr std::string_view kFieldNotFound = "Das Feld '%s' wurde nicht gefunden";
inline constexpr std::string_view kFieldRequired = "Feld '%s' muß einen Wert haben";
inline constexpr std::string_view kEmptyDataSet = "Operation bei leerer Datenmenge nicht ausführbar";
inline constexpr std::string_view kRowNotFound = "Datensatz nicht gefunden";
inline constexpr std::string_view kNotSupported =
    "Operation wird von dieser Datenmenge nicht unterstützt";
inline constexpr std::string_view kCircularDataLink =
    "Zirkuläre Datenverknüpfungen sind nicht erlaubt";

}  // namespace recordset::messages
