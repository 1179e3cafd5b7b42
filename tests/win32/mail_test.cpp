// zz_mail.dll over a stand-in mail client (being written).
#include <gtest/gtest.h>
