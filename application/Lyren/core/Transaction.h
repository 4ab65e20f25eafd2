#pragma once

#include "Korbel/DataSource.h"

// A database transaction for the length of a scope: what was written is
// rolled back unless Commit() succeeded. Transactions nest (the inner ones are
// savepoints of the outer one).
class ScopedTransaction
{
public:
    explicit ScopedTransaction(Korbel::IDataSource *source)
        : m_pSource(source)
        , m_bActive(source && source->BeginTransaction())
    { }
    ~ScopedTransaction()
    {
        if (m_bActive)
            m_pSource->RollbackTransaction();
    }
    ScopedTransaction(const ScopedTransaction &) = delete;
    ScopedTransaction &operator=(const ScopedTransaction &) = delete;

    // False when no transaction could be started.
    bool IsActive() const { return m_bActive; }
    // True when everything was committed; otherwise it is rolled back.
    bool Commit()
    {
        if (!m_bActive)
            return false;
        m_bActive = false;
        if (m_pSource->CommitTransaction() == 1)
            return true;
        m_pSource->RollbackTransaction();
        return false;
    }
    void Rollback()
    {
        if (m_bActive)
            m_pSource->RollbackTransaction();
        m_bActive = false;
    }

private:
    Korbel::IDataSource *m_pSource;
    bool m_bActive;
};
