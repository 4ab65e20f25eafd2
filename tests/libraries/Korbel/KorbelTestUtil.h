#pragma once

#include "Korbel/DataSource.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

// Small helpers over the data library for the tests.
namespace KorbelTest {

using Korbel::ReleasePtr;

inline ReleasePtr<Korbel::IDataSource> OpenSource(const QString &path)
{
    ReleasePtr<Korbel::IDataSource> source(DataSourceFactory());
    EXPECT_TRUE(source->Open(path)) << source->GetErrorDescription().toStdString();
    return source;
}

inline ReleasePtr<Korbel::ITable> OpenTable(Korbel::IDataSource *source, const QString &name)
{
    ReleasePtr<Korbel::ITable> table(source->OpenTable(name));
    EXPECT_TRUE(table) << source->GetErrorDescription().toStdString();
    return table;
}

inline QString Get(Korbel::ITable *table, const QString &field)
{
    Korbel::IField *f = nullptr;
    if (!table->GetField(field, &f))
        return QStringLiteral("<no field>");
    ReleasePtr<Korbel::IField> guard(f);
    f->Refresh();
    return f->GetAsString();
}

inline bool Set(Korbel::ITable *table, const QString &field, const QString &text)
{
    Korbel::IField *f = nullptr;
    if (!table->GetField(field, &f))
        return false;
    ReleasePtr<Korbel::IField> guard(f);
    return f->SetFromString(text);
}

// Sets a typed value into the pending edit or new row.
inline bool SetValue(Korbel::ITable *table, const QString &field, const QVariant &value)
{
    Korbel::IField *f = nullptr;
    if (!table->GetField(field, &f))
        return false;
    ReleasePtr<Korbel::IField> guard(f);
    return f->SetValue(value);
}

// Adds a row with the given field texts; returns its ID text.
inline QString AddRow(Korbel::ITable *table, const std::vector<std::pair<QString, QString>> &values)
{
    if (!table->AddNew())
        return {};
    for (const auto &[field, text] : values)
        EXPECT_TRUE(Set(table, field, text)) << field.toStdString();
    if (!table->Update())
        return {};
    return Get(table, QStringLiteral("ID"));
}

inline ReleasePtr<Korbel::ITable> Query(
    Korbel::IDataSource *source, const QString &table, const std::function<void(Korbel::IQuery *)> &build)
{
    ReleasePtr<Korbel::IQuery> query(source->CreateQuery());
    query->SetTable(table);
    build(query.get());
    ReleasePtr<Korbel::ITable> result(query->Open());
    EXPECT_TRUE(result) << query->GetErrorDescription().toStdString();
    return result;
}

} // namespace KorbelTest
