// The fixed items of the code combo boxes that the profile window and the
// project application window share, each name with the code it stores.
#pragma once

#include <initializer_list>
#include <utility>

using TCodeList = std::initializer_list<std::pair<const char*, const char*>>;

inline const TCodeList SexCodes = {{"男", "1"}, {"女", "2"}};
inline const TCodeList EducationCodes = {{"研究生", "1"}, {"本科", "2"}, {"大专", "3"}, {"其他", "9"}};
inline const TCodeList DegreeCodes = {{"博士", "1"}, {"硕士", "2"}, {"学士", "3"}, {"其他", "9"}};
inline const TCodeList TitleCodes = {{"高级", "1"}, {"中级", "2"}, {"初级", "3"}, {"其他", "9"}};
inline const TCodeList UnitTypeCodes = {{"部属高校", "1"},     {"省属高校", "2"},     {"部属科研机构", "3"},
                                        {"省属科研机构", "4"}, {"市县科研机构", "5"}, {"企业", "6"},
                                        {"科技中介机构", "7"}, {"医疗机构", "8"},     {"其他", "9"}};
inline const TCodeList AgencyCodes = {{"生产力促进中心", "41"}, {"科技信息中心", "42"},     {"技术市场", "43"},
                                      {"科技评估中心", "44"},   {"科技创业服务中心", "45"}, {"其他", "46"}};
inline const TCodeList BaseCodes = {{"国家级工程技术研究中心", "1"},
                                    {"省级工程技术研究中心", "2"},
                                    {"国家级重点实验室", "3"},
                                    {"部省级重点实验室", "4"},
                                    {"公共技术服务中心", "5"}};
