// The service's page addresses from the account's values.
#include "service/service_endpoints.h"
#include "shell/service_pages.h"

#include <gtest/gtest.h>

namespace {

TEST(ServicePageAddress, CarriesTheValuesUnencodedAndThePasswordOnlyWithCredentials)
{
    const std::string base = kServiceWebBaseUrl;
    const PageAccount ann{"Ann Lee", "ann lee&co+1@x.example", "5ebe2294ecd0e0f08eab7690d2a6ee69", "dark & blue+"};
    const PageAccount none;
    EXPECT_EQ(ServicePageAddress(kHostSessionPage, &ann),
              base + "kv/host.jsp?agent&eMail=ann lee&co+1@x.example&pAssword=5ebe2294ecd0e0f08eab7690d2a6ee69"
                     "&skin=dark & blue+");
    EXPECT_EQ(ServicePageAddress(HostJoinPage("222"), &none), base + "join?agent&host&p=222&eMail=&pAssword=&skin=");
    EXPECT_EQ(ServicePageAddress(GuestJoinPage("4711", ann), nullptr),
              base + "join?agent&guest&adv&name=Ann Lee&email=ann lee&co+1@x.example&p=4711&skin=dark & blue+");
}

} // namespace
