#include <array>

#include "errornumbers.h"
#include "runtimeerror.h"

namespace tav {

namespace {

struct ErrorText {
    int number;
    std::array<const char*, 4> text;  // German, English, Italian, French
};

// clang-format off
constexpr ErrorText kErrorTexts[] = {
    {ErrorNumber::InvalidProcedureCall,
     {"Unzulässiger Prozeduraufruf oder ungültiges Argument", "Invalid procedure call or argument",
      "Chiamata di routine o argomento non validi", "Appel de procédure ou argument incorrect"}},
    {ErrorNumber::Overflow,
     {"Überlauf", "Overflow", "Overflow", "Dépassement de capacité"}},
    {ErrorNumber::SubscriptOutOfRange,
     {"Index außerhalb des gültigen Bereichs", "Subscript out of range",
      "Indice non compreso nell'intervallo", "L'indice n'appartient pas à la sélection"}},
    {ErrorNumber::DivisionByZero,
     {"Division durch Null", "Division by zero", "Divisione per zero", "Division par zéro"}},
    {ErrorNumber::TypeMismatch,
     {"Typen unverträglich", "Type mismatch", "Tipo non corrispondente", "Type incompatible"}},
    {ErrorNumber::BadFileName,
     {"Dateiname oder -nummer falsch", "Bad file name or number",
      "Nome o numero di file non valido", "Nom ou numéro de fichier incorrect"}},
    {ErrorNumber::FileNotFound,
     {"Datei nicht gefunden", "File not found", "File non trovato", "Fichier introuvable"}},
    {ErrorNumber::DiskFull,
     {"Datenträger voll", "Disk full", "Disco pieno", "Disque plein"}},
    {ErrorNumber::PermissionDenied,
     {"Zugriff verweigert", "Permission denied", "Autorizzazione negata", "Permission refusée"}},
    {ErrorNumber::PathFileAccess,
     {"Fehler beim Zugriff auf Pfad/Datei", "Path/File access error",
      "Errore di accesso al percorso/file", "Erreur d'accès au chemin/fichier"}},
    {ErrorNumber::PathNotFound,
     {"Pfad nicht gefunden", "Path not found", "Percorso non trovato", "Chemin d'accès introuvable"}},
    {ErrorNumber::RateOutOfRange,
     {"Der Zinssatz läge über 99900 % im Jahr und wird nicht gesucht",
      "The interest rate would be above 99900 % a year and is not searched",
      "Il tasso d'interesse sarebbe superiore al 99900 % annuo e non viene cercato",
      "Le taux d'intérêt dépasserait 99900 % par an et n'est pas recherché"}},
};
// clang-format on

constexpr std::array<const char*, 4> kUnknownError = {
    "Anwendungs- oder objektdefinierter Fehler", "Application-defined or object-defined error",
    "Errore definito dall'applicazione o dall'oggetto",
    "Erreur définie par l'application ou par l'objet"};

}  // namespace

QString errorDescription(int number, Language language) {
    const auto column = static_cast<std::size_t>(language);
    for (const ErrorText& entry : kErrorTexts) {
        if (entry.number == number) {
            return QString::fromUtf8(entry.text[column]);
        }
    }
    return QString::fromUtf8(kUnknownError[column]);
}

}  // namespace tav
