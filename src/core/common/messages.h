#pragma once

#include <exception>
#include <string>

// The runtime's German error texts (Windows-1252). They live in messages.cpp so
// that headers stay ASCII.
namespace trivo::msg {

// "Datei %s kann nicht geöffnet werden. %s"
std::string CannotOpenFile(const std::string& fileName, const std::string& reason);
// "In %s kann nicht geschrieben werden"
std::string CannotWrite(const std::string& fileName);
// "'%s' ist kein gültiger Integerwert"
std::string NotAnInteger(const std::string& text);
// "'%s' ist kein gültiger Gleitkommawert"
std::string NotAFloat(const std::string& text);
// "'%s' ist keine gültige Uhrzeit"
std::string NotATime(const std::string& text);
// "Listenindex überschreitet das Maximum (%d)"
std::string ListIndexOutOfBounds(long long index);
// "Gitterindex außerhalb des zulässigen Bereichs"
std::string GridIndexOutOfRange();
// "Fehlender Daten-Provider oder Datenpaket"
std::string MissingDataProvider();
// "Key violation."
std::string KeyViolation();
// "Operation bei geschlossener Datenmenge nicht ausführbar"
std::string DatasetClosed();
// "Datenmenge befindet sich nicht im Einfügemodus"
std::string DatasetNotInInsertMode();
// "Feld '%s' nicht gefunden"
std::string FieldNotFound(const std::string& name);
// "Index '%s' nicht gefunden"
std::string IndexNotFound(const std::string& name);
// "Kein aktiver Index"
std::string NoActiveIndex();
// "%d ist kein gültiger Wert für Feld '%s'. Der erlaubte Bereich ist %d bis %d"
std::string ValueOutOfRange(long long value, const std::string& field, long long min,
                            long long max);

// The system's reason for a failed file operation, in German: one table of the errno
// values that opening, reading and writing files can give; any other value gets a general
// text with its number.
std::string SystemReason(int errnum);
// The reason for an input that is no regular file ("Keine normale Datei, sondern
// ..."), by its st_mode.
std::string NotARegularFile(unsigned mode);
// "Datei %s ist zu groß (%llu Bytes); gelesen werden höchstens %llu Bytes"
std::string FileTooLarge(const std::string& fileName, unsigned long long size,
                         unsigned long long limit);
// "Datei %s wird nicht überschrieben, weil sie eine Eingabedatei ist"
std::string WouldReplaceInput(const std::string& fileName);
// "Im Ordner %s läuft bereits eine Konvertierung. ..."
std::string ConversionRunning(const std::string& folder);
// "Zu viele Datensätze: die Tabelle %s nimmt höchstens %d auf"
std::string TooManyRecords(const std::string& table, long long limit);
// "Zu wenig Arbeitsspeicher"
std::string OutOfMemory();
// "Kein Projekt geladen!"
std::string NoProjectLoaded();

// The German text of an error that ends a command: the text of a trivo::Error as it is,
// the out-of-memory text for a failed allocation, else the exception's own text.
std::string ErrorText(const std::exception& error);

}  // namespace trivo::msg
