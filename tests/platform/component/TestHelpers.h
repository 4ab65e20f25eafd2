#pragma once

#include "server/TestServerIds.h"

#include "component/Registry.h"

#include <QtCore/QPluginLoader>

#include <gtest/gtest.h>

inline void PrintTo(const QVariant &value, std::ostream *os)
{
    *os << value.typeName() << "(" << value.toString().toStdString() << ")";
}

// The test server's file and its root object, as the process's registry loads it.
inline QString TestServerPath()
{
    QString path;
    Component::Registry::Instance().FindServer(TestServer::kClsidControl, &path);
    return path;
}

inline Component::IServer *TestServerRoot()
{
    QPluginLoader loader(TestServerPath());
    return qobject_cast<Component::IServer *>(loader.instance());
}

#define EXPECT_HR(expected, actual) EXPECT_EQ(Component::ResultName(expected), Component::ResultName(actual))
#define ASSERT_HR(expected, actual) ASSERT_EQ(Component::ResultName(expected), Component::ResultName(actual))
