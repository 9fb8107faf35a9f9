#pragma once

#include "support/album_home.h"
#include "support/golden.h"

#include <gtest/gtest.h>

// The temporary folder as the album home, the default colour and a fixed title, as every page
// test starts from.
class PageTest : public ::testing::Test, protected AlbumHome
{
  protected:
    void SetUp() override
    {
        ASSERT_TRUE(makeHome(QString()));
        host.title = QStringLiteral("Holiday album");
    }
};

using Golden::ExpectedPage;
