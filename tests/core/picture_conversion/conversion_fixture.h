#pragma once

#include "shared/program_values.h"
#include "support/fake_host.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

// A program folder and a pictures folder in a temporary folder, and a host whose run
// has not been abandoned: where every conversion test starts.
// Base is ::testing::Test or a ::testing::TestWithParam<Row>.
template <class Base> class ConversionFixture : public Base
{
  protected:
    QTemporaryDir dir;
    FakeHost host;

    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        ASSERT_TRUE(QDir(dir.path()).mkpath("program") && QDir(dir.path()).mkpath("pictures"));
        host.folder = dir.filePath("program");
        host.state.PageStyle = PageStyles::Thumbnails;
    }
};
