#pragma once

#include <QtTest>
#include <tuple>
#include <utility>

// A data table whose columns are known by position: in a _data function, `const Rows<int, QString>
// row;` adds the columns and `row("name", 1, "a");` a row; in the test, Rows<int, QString>::fetch()
// gives the current row as a tuple.
template <typename... T> struct Rows {
    Rows() {
        int i = 0;
        (QTest::addColumn<T>(names[i++]), ...);
    }
    void operator()(const char* name, const T&... values) const { (QTest::newRow(name) << ... << values); }
    static std::tuple<T...> fetch() { return fetch(std::index_sequence_for<T...>()); }

private:
    static_assert(sizeof...(T) <= 10, "at most 10 columns");
    static constexpr const char* names[] = {"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"};
    template <std::size_t... I> static std::tuple<T...> fetch(std::index_sequence<I...>) {
        return {*static_cast<T*>(QTest::qData(names[I], qMetaTypeId<T>()))...};
    }
};
