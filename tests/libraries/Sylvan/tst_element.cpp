// The element tree: ownership, the append rules and reading by position.
#include "Sylvan/Document.h"
#include "Sylvan/Element.h"

#include <gtest/gtest.h>

using Sylvan::ElementPtr;
using Sylvan::IElement;

TEST(SylvanElement, AppendedElementBelongsToItsParent)
{
    ElementPtr parent(ElementFactory());
    parent->SetName(QStringLiteral("MetaWords"));
    IElement *child = ElementFactory();
    child->SetName(QStringLiteral("MetaWord"));
    ASSERT_TRUE(parent->AppendChild(child));

    // Releasing an owned element does nothing; the parent frees it (ASan checks).
    child->Release();
    ASSERT_EQ(parent->GetChildCount(), 1);
    EXPECT_EQ(parent->GetChild(0), child);
    EXPECT_EQ(child->GetName(), QStringLiteral("MetaWord"));

    // An element that already has a parent cannot be appended a second time.
    ElementPtr other(ElementFactory());
    EXPECT_FALSE(other->AppendChild(child));
    EXPECT_EQ(other->GetChildCount(), 0);
}

TEST(SylvanElement, RefusesCyclesAndForeignElements)
{
    ElementPtr root(ElementFactory());
    IElement *middle = root->AddChild(QStringLiteral("a"), QString());
    IElement *leaf = middle->AddChild(QStringLiteral("b"), QString());
    EXPECT_FALSE(root->AppendChild(root.get()));
    EXPECT_FALSE(leaf->AppendChild(root.get()));
    EXPECT_FALSE(root->AppendChild(nullptr));

    Sylvan::DocumentPtr document(DocumentFactory());
    EXPECT_FALSE(root->AppendChild(document->GetRootElement()));
}

TEST(SylvanElement, ChildrenAreCountedByElementAndTextIsGathered)
{
    ElementPtr record(ElementFactory());
    record->SetName(QStringLiteral("Graph"));
    record->AddChild(QStringLiteral("Name"), QStringLiteral("MENTAL"));
    record->AddChild(QStringLiteral("Points"), QStringLiteral("07032009-05;"));
    record->AddChild(QStringLiteral("Empty"), QString());

    EXPECT_EQ(record->GetChildCount(), 3);
    EXPECT_EQ(record->GetChild(0)->GetText(), QStringLiteral("MENTAL"));
    EXPECT_EQ(record->GetChild(2)->GetText(), QString());
    EXPECT_EQ(record->GetChild(3), nullptr);
    EXPECT_EQ(record->GetChild(-1), nullptr);
    EXPECT_EQ(record->GetText(), QStringLiteral("MENTAL07032009-05;"));
}

TEST(SylvanElement, RemovedChildIsFreedAndTheOthersKeepTheirOrder)
{
    ElementPtr parent(ElementFactory());
    IElement *first = parent->AddChild(QStringLiteral("a"), QStringLiteral("1"));
    IElement *second = parent->AddChild(QStringLiteral("b"), QStringLiteral("2"));
    second->AddChild(QStringLiteral("inner"), QStringLiteral("x"));
    IElement *third = parent->AddChild(QStringLiteral("c"), QStringLiteral("3"));

    EXPECT_TRUE(parent->RemoveChild(second)); // freed with its subtree (ASan checks)
    ASSERT_EQ(parent->GetChildCount(), 2);
    EXPECT_EQ(parent->GetChild(0), first);
    EXPECT_EQ(parent->GetChild(1), third);
    EXPECT_EQ(parent->GetText(), QStringLiteral("13"));

    // Only direct children can be removed.
    IElement *grandchild = first->AddChild(QStringLiteral("g"), QString());
    EXPECT_FALSE(parent->RemoveChild(grandchild));
    EXPECT_FALSE(parent->RemoveChild(parent.get()));
    EXPECT_FALSE(parent->RemoveChild(nullptr));
    EXPECT_EQ(first->GetChildCount(), 1);
}
