#pragma once

#include "assets/EmbeddedLayout.h"
#include "tools/contact-sheet/ItemPictures.h"

#include <gtest/gtest.h>

#include <vector>

// The item pictures of the layout the game embeds, read once per test program.
inline const std::vector<namoro::tools::ItemPicture>& embeddedPictures()
{
    static const std::vector<namoro::tools::ItemPicture> decoded = [] {
        auto items = namoro::tools::itemPictures(namoro::assets::form1Layout());
        if (!items)
            ADD_FAILURE() << items.error();
        return items ? std::move(*items) : std::vector<namoro::tools::ItemPicture>{};
    }();
    return decoded;
}
