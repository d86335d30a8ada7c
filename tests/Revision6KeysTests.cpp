// The key derivation of AES-256 protection against entries another writer
// made: qpdf 11.3 (`qpdf --encrypt USER OWNER 256`), its file key shown by
// `--show-encryption-key`.
#include "converter/core/Revision6Keys.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace folyant::converter::revision6;
using folyant::test::bytesFromHex;

namespace {

struct Written {
    const char* user;
    const char* owner;
    const char* u;
    const char* o;
    const char* ue;
    const char* oe;
    const char* perms;
    const char* fileKey;
};

const Written kByQpdf[] = {
    {"USER", "OWNER",
        "44109bb562e1f7de4ec73f22507754465ad5b0cd9265aeb32217e9b03a9b17cd37a70575362257d20385aa8e6c253dca",
        "cd2787501ef7f6c38baf949e056476228e2b654afde91db624ac510336e4f7fabdd32cec2fb6e159ebd47c35c9c56b1f",
        "1678a10b214a142e6b6668b1a8a2176b6df5d18e74f8ac26d4ef497a5c758aec",
        "274484734d753adfb27ef274ded6c5fce4cd8949ef6e1cadbb32dc9db1a0b759",
        "512e704494bb892de92b9746ac0141d2",
        "b0e9b15e6b2839bbb2de04862e8ee872e05b9bef06a7f71d4c52af2fd6b3a908"},
    {"비밀번호", "관리자",
        "c5d7a33e1b2f94d5adea241c856b84bee12146241041bece83b9413883719194d84ea35c469bbf9f49bf616230b90e2d",
        "b149064750b15ce79a9a4396d972716d2e0e9e928b632f1003d140c40e169287540ae54631dc7075d8a6a377685caf1e",
        "d4e2766552f3a3a6455e12a2bee6871533f802b7b649e3171df8c5251ffba506",
        "76fcae98983a64b8713b635eccd9b96e014215b2466daf2b400e7f367681fdb8",
        "91a73e988caa416ba6958dc8565caedf",
        "05207ed1117fb2c9e537a0d7e4d5c98eac9ad1cae448eb2803e0c3c15191cc02"},
    {"ひみつのパスワード", "オーナー",
        "6f0cdb5a5dfdd46724246365e06873ede091680acd6f67c7dc936e0c66fbc586532aa3d023f9ae65511f20f767bccdee",
        "b159fe6da55ee8d05d3d729df5b891bb4d67cd2a95c14717f0ad97dce3c37e7f49ef0543ee275069f9831d077e0383ce",
        "c384dfbfb3e6ac83753092595391e17d2feeb750f8edb34ba5babd97265a44a8",
        "3042fd7836452f902f25e52b9e647b824f3b889dee70e351af0a7f036f351e69",
        "05b52251d4e1e5d2d8c787115c5aa6b6",
        "18f54180e55bf334c53cb712d307dd7ea2b350dc2f980475a8030c3e74d0fee2"},
    {"", "owner only",
        "6ea05528f5d227d149bbfc3409dc1124a2a78dc888b69480a8300f4a8a98f677c63ca46c32d6627a73d5423384871a53",
        "2d311f0d66b71264f8e0a824376d13720c69de83034cf2a5996f1b1f3c1a6aac9518b5575391446a891d13b0d74ad342",
        "e82318dd9d4b3772b210e3726c257ea622b5a1228b910ad9e2c55eea53afae3f",
        "11d70df88b359c39e5ddeb46b7757b6265dc78ffa20a9d71d1d278ef75b41637",
        "8273e7a92312fb191c8017d4220b0622",
        "dbb39ca96a3a588295aec3b6fcff71c99d2c6bb6e6a8d405830b8cf64026f3c6"},
};

constexpr std::int32_t kAllRights = -4;

TEST(Revision6Keys, OpensWhatAnotherWriterWroteWithItsPasswordsAndNoOther)
{
    for (const Written& w : kByQpdf) {
        SCOPED_TRACE(w.user);
        const auto u = bytesFromHex(w.u), o = bytesFromHex(w.o), ue = bytesFromHex(w.ue),
                   oe = bytesFromHex(w.oe), perms = bytesFromHex(w.perms);
        const auto key = bytesFromHex(w.fileKey);
        const auto opened = [&](const std::string& password) {
            return open(password, u.data(), ue.data(), o.data(), oe.data());
        };
        const Opening asUser = opened(w.user);
        EXPECT_EQ(asUser.access, Opening::Access::User);
        EXPECT_EQ(std::vector<unsigned char>(asUser.fileKey.begin(), asUser.fileKey.end()), key);
        const Opening asOwner = opened(w.owner);
        EXPECT_EQ(asOwner.access, Opening::Access::Owner);
        EXPECT_EQ(std::vector<unsigned char>(asOwner.fileKey.begin(), asOwner.fileKey.end()), key);
        for (const std::string& wrong :
            {std::string(w.user) + "x", std::string("user"), std::string(w.owner, 1)})
            EXPECT_EQ(opened(wrong).access, Opening::Access::None) << wrong;
        EXPECT_TRUE(permsMatch(asUser.fileKey, perms.data(), kAllRights));
        EXPECT_FALSE(permsMatch(asUser.fileKey, perms.data(), -3904)) << "another P";
    }
}

TEST(Revision6Keys, MadeEntriesOpenWithTheirPasswordsOnly)
{
    struct Case {
        std::string user, owner;
        std::int32_t permissions;
    };
    const Case cases[] = {{"USER", "OWNER", kAllRights}, {"", "관리자", -3904}, {"ひみつ", "ひみつ", -1036}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.user);
        const auto entries = makeEntries(c.user, c.owner, c.permissions);
        ASSERT_TRUE(entries);
        const auto opened = [&](const std::string& password) {
            return open(
                password, entries->u.data(), entries->ue.data(), entries->o.data(), entries->oe.data());
        };
        const Opening asUser = opened(c.user);
        EXPECT_EQ(asUser.access, Opening::Access::User);
        EXPECT_EQ(asUser.fileKey, entries->fileKey);
        if (c.owner != c.user) {
            const Opening asOwner = opened(c.owner);
            EXPECT_EQ(asOwner.access, Opening::Access::Owner);
            EXPECT_EQ(asOwner.fileKey, entries->fileKey);
        }
        EXPECT_EQ(opened("wrong").access, Opening::Access::None);
        EXPECT_TRUE(permsMatch(entries->fileKey, entries->perms.data(), c.permissions));
    }
    // A password is read to its 127th byte, as every reader reads it.
    const auto entries = makeEntries(std::string(127, 'x') + "tail", "o", kAllRights);
    ASSERT_TRUE(entries);
    EXPECT_EQ(open(std::string(127, 'x'), entries->u.data(), entries->ue.data(), entries->o.data(),
                  entries->oe.data())
                  .access,
        Opening::Access::User);
    // Each protection has a key and salts of its own.
    const auto again = makeEntries("USER", "OWNER", kAllRights);
    const auto first = makeEntries("USER", "OWNER", kAllRights);
    ASSERT_TRUE(again && first);
    EXPECT_NE(again->fileKey, first->fileKey);
    EXPECT_NE(again->u, first->u);
}

} // namespace
