#pragma once

#include "shared/program_values.h"
#include "support/album_home.h"

#include <QDir>
#include <gtest/gtest.h>

// The album home "program" and a folder "pictures" beside it, and a host whose run has not
// been abandoned: where every conversion test starts.
// Base is ::testing::Test or a ::testing::TestWithParam<Row>.
template <class Base> class ConversionFixture : public Base, protected AlbumHome
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(makeHome() && QDir(dir.path()).mkpath("pictures"));
        host.state.PageStyle = PageStyles::Thumbnails;
    }
};
