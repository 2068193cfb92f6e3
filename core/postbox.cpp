#include "core/postbox.h"

#include <atomic>

namespace
{
std::atomic<PostBox *> g_box{nullptr};
}

PostBox::~PostBox()
{
    PostBox *self = this;
    g_box.compare_exchange_strong(self, nullptr);
}

void PostBox::Install(PostBox *box)
{
    g_box.store(box);
}

void PostBox::Post(int code)
{
    if (PostBox *box = g_box.load())
        box->PostMessage(code);
}
