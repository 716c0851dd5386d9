#include "platform/ProductIdentity.h"

namespace pw {

const ProductIdentity& GetProductIdentity() {
    static const ProductIdentity identity{
        "Pagewright",
        "Pagewright",
        "Copyright (C) %d The Pagewright developers",
        "https://pagewright.example.org/",
        "https://pagewright.example.org/download/",
        "support@pagewright.example.org",
        "Pagewright is made by the Pagewright developers - https://pagewright.example.org/",
    };
    return identity;
}

}  // namespace pw
