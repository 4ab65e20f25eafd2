#pragma once

// Shared pieces of the reference data tests: a fresh database per test, rows
// written straight through the data library, and a driver for modal dialogs.

#include "core/LogicServices.h"
#include "finance/ui/ReferenceDialogsUi.h"

#include "Korbel/DataSource.h"
#include "common/Identifiers.h"
#include "support/TestSupport.h"

#include <QtCore/QElapsedTimer>
#include <QtCore/QTimer>
#include <QtWidgets/QApplication>

#include <gtest/gtest.h>

#include <functional>

namespace RefDataTest {

using Korbel::ReleasePtr;
using Fields = std::vector<std::pair<QString, QString>>;

// Runs action on the dialog of type T once it is the active modal window
// (shown by exec() further down the test). Gives up after a few seconds, so
// a dialog that never shows fails the test instead of hanging it.
template<class T> void WhenModal(std::function<void(T *)> action)
{
    auto *timer = new QTimer(qApp);
    auto *clock = new QElapsedTimer;
    clock->start();
    timer->setInterval(5);
    QObject::connect(timer, &QTimer::timeout, timer, [timer, clock, action] {
        auto *dialog = qobject_cast<T *>(QApplication::activeModalWidget());
        const bool shown = dialog && dialog->isVisible();
        if (!shown && clock->elapsed() < 5000)
            return;
        timer->stop();
        timer->deleteLater();
        delete clock;
        if (!shown) {
            ADD_FAILURE() << "no " << T::staticMetaObject.className() << " was shown";
            return;
        }
        action(dialog);
    });
    timer->start();
}

class Database : public ::testing::Test
{
protected:
    void SetUp() override
    {
        m_source.reset(DataSourceFactory());
        ASSERT_TRUE(m_source->Open(m_dir.filePath(QStringLiteral("data.mdb"))))
            << m_source->GetErrorDescription().toStdString();
        m_services.Provide<IReferenceDialogs>(&m_dialogs);
    }

    Korbel::IDataSource *source() { return m_source.get(); }
    // The services the logic objects find their dialogs in: the program's.
    const LogicServices *services() const { return &m_services; }

    // Adds a row with the given field texts through a table of its own;
    // returns its ID.
    qint64 addRow(const QString &table, const Fields &values)
    {
        ReleasePtr<Korbel::ITable> t(m_source->OpenTable(table));
        if (!t || !t->AddNew())
            return 0;
        for (const auto &[field, text] : values) {
            Korbel::IField *f = nullptr;
            EXPECT_EQ(t->GetField(field, &f), 1) << field.toStdString();
            ReleasePtr<Korbel::IField> guard(f);
            EXPECT_TRUE(f && f->SetFromString(text)) << field.toStdString();
        }
        if (!t->Update())
            return 0;
        return Verdanta::ParseId(read(t.get(), QStringLiteral("ID")));
    }

    // The text of a field of the row with that ID, as stored now.
    QString fieldOf(const QString &table, qint64 id, const QString &field)
    {
        ReleasePtr<Korbel::ITable> t(m_source->OpenTable(table));
        if (!t || t->Locate(QStringLiteral("ID"), Korbel::LocateEqual, Verdanta::FormatId(id)) != 1)
            return QStringLiteral("<no row>");
        return read(t.get(), field);
    }

    int rowCount(const QString &table)
    {
        ReleasePtr<Korbel::ITable> t(m_source->OpenTable(table));
        return t ? t->RecordCount() : -1;
    }

    qint64 addRemedy(const QString &name, const QString &price = QStringLiteral("10"),
        const QString &providerPrice = QStringLiteral("6"), qint64 providerId = 0,
        const QString &description = QString())
    {
        return addRow(QStringLiteral("MEDICINES"),
            { { QStringLiteral("NAME"), name }, { QStringLiteral("PRICE"), price },
                { QStringLiteral("PROVIDER_PRICE"), providerPrice },
                { QStringLiteral("PROVIDER_ID"), Verdanta::FormatId(providerId) },
                { QStringLiteral("DESCRIPTION"), description } });
    }

    qint64 addProvider(const QString &name, const QString &email = QString())
    {
        return addRow(QStringLiteral("PROVIDERS"),
            { { QStringLiteral("NAME"), name }, { QStringLiteral("EMAIL"), email } });
    }

    qint64 addDilution(const QString &value)
    {
        return addRow(QStringLiteral("DILUTION"), { { QStringLiteral("VALUE"), value } });
    }

    static QString read(Korbel::ITable *table, const QString &field)
    {
        Korbel::IField *f = nullptr;
        if (table->GetField(field, &f) != 1)
            return QStringLiteral("<no field>");
        ReleasePtr<Korbel::IField> guard(f);
        return f->GetAsString();
    }

private:
    TestSupport::TemporaryFolder m_dir;
    ReleasePtr<Korbel::IDataSource> m_source;
    CReferenceDialogsUi m_dialogs;
    LogicServices m_services;
};

} // namespace RefDataTest
