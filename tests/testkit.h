#pragma once

// What the tests of every folder share: the locales they set, data tables with
// numbered columns, and the bytes of a written file.

#include <QtTest>
#include <tuple>
#include <utility>

namespace tav::test {

// The locales the tests set on purpose, whatever the machine's.
inline const QLocale kEnglish(QLocale::English, QLocale::UnitedStates);
inline const QLocale kGerman(QLocale::German, QLocale::Germany);

// The whole file, or nothing when it cannot be read.
inline QByteArray fileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Data tables number their columns: `columns<int, QString>()` in the _data
// function, `row("name", 1, text)` for each case, and
// `const auto [number, text] = fetch<int, QString>()` in the test.
inline constexpr const char* kColumns[] = {"0", "1", "2", "3", "4", "5", "6", "7"};
template <typename... T>
void columns() {
    int i = 0;
    (QTest::addColumn<T>(kColumns[i++]), ...);
}
template <typename... T, std::size_t... I>
std::tuple<T...> fetchColumns(std::index_sequence<I...>) {
    return {*static_cast<T*>(QTest::qData(kColumns[I], qMetaTypeId<T>()))...};
}
template <typename... T>
std::tuple<T...> fetch() {
    return fetchColumns<T...>(std::index_sequence_for<T...>());
}
template <typename... T>
QTestData& row(const char* name, const T&... values) {
    return (QTest::newRow(name) << ... << values);
}

}  // namespace tav::test
