#include "service/service_endpoints.h"
#include "shell/service_pages.h"

std::string HostJoinPage(const std::string& accessCode)
{
    return "join?agent&host&p=" + accessCode;
}

std::string GuestJoinPage(const std::string& accessCode, const PageAccount& account)
{
    return "join?agent&guest&adv&name=" + account.name + "&email=" + account.email + "&p=" + accessCode +
           "&skin=" + account.skin;
}

std::string ServicePageAddress(const std::string& pagePath, const PageAccount* credentials)
{
    std::string address = kServiceWebBaseUrl + pagePath;
    if (credentials)
        address += "&eMail=" + credentials->email + "&pAssword=" + credentials->password + "&skin=" + credentials->skin;
    return address;
}
