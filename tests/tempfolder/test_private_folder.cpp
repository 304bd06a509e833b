// The private temporary folder rule without Qt, as LumbaResFLV and the player share it.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "tempfolder/private_folder.h"

namespace fs = std::filesystem;
using tempfolder::chooseFolder;
using tempfolder::FolderEnv;
using tempfolder::privateFolder;

namespace {

TEST(PrivateFolderRule, NamesTheFolderFromTheEnvironment) {
    FolderEnv env{nullptr, nullptr, 1000};
    EXPECT_EQ(chooseFolder(env).folder, "/tmp/Lumba.FLV-1000/");
    env.tmpDir = "/var/tmp/";
    EXPECT_EQ(chooseFolder(env).folder, "/var/tmp/Lumba.FLV-1000/");
    env.xdgRuntimeDir = "/";
    EXPECT_EQ(chooseFolder(env).folder, "/Lumba.FLV/");
    env.xdgRuntimeDir = "/no/such/runtime";
    EXPECT_EQ(chooseFolder(env).folder, "/var/tmp/Lumba.FLV-1000/");
    // An empty variable counts as unset, as the shell's empty assignment does.
    env.xdgRuntimeDir = "";
    env.tmpDir = "";
    EXPECT_EQ(chooseFolder(env).folder, "/tmp/Lumba.FLV-1000/");
    EXPECT_EQ(chooseFolder(env).base, "/tmp");
}

class PrivateFolderOnDisk : public ::testing::Test {
  protected:
    void SetUp() override {
        char tmpl[] = "/tmp/lumba-tf-XXXXXX";
        ASSERT_NE(::mkdtemp(tmpl), nullptr);
        base_ = tmpl;
    }
    void TearDown() override {
        std::error_code ec;
        fs::remove_all(base_, ec);
    }
    FolderEnv env(const char* xdg = nullptr) const {
        return {xdg, base_.c_str(), static_cast<unsigned>(::getuid())};
    }
    std::string mine() const { return base_.string() + "/Lumba.FLV-" + std::to_string(::getuid()); }
    fs::path base_;
};

TEST_F(PrivateFolderOnDisk, CreatesTheFolderOnlyForTheOwnerAndFindsItAgain) {
    const std::string got = privateFolder(env());
    ASSERT_EQ(got, mine() + "/");
    struct stat st {};
    ASSERT_EQ(::lstat(mine().c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0700u);
    EXPECT_EQ(privateFolder(env()), got);

    const std::string runtime = (base_ / "run").string();
    fs::create_directory(runtime);
    EXPECT_EQ(privateFolder(env(runtime.c_str())), runtime + "/Lumba.FLV/");
}

TEST_F(PrivateFolderOnDisk, AMissingBaseIsNeverCreated) {
    const fs::path missing = base_ / "gone";
    const FolderEnv e{nullptr, missing.c_str(), static_cast<unsigned>(::getuid())};
    EXPECT_EQ(privateFolder(e), "");
    EXPECT_FALSE(fs::exists(missing));
}

TEST_F(PrivateFolderOnDisk, RefusesWhatAnotherUserCouldHavePlanted) {
    const fs::path elsewhere = base_ / "planted";
    fs::create_directory(elsewhere);
    fs::create_directory_symlink(elsewhere, mine());
    EXPECT_EQ(privateFolder(env()), "");
    fs::remove(mine());

    {
        std::FILE* f = std::fopen(mine().c_str(), "w");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    EXPECT_EQ(privateFolder(env()), "");
    fs::remove(mine());

    fs::create_directory(mine());
    fs::permissions(mine(), fs::perms::all, fs::perm_options::replace);
    EXPECT_EQ(privateFolder(env()), "");
    fs::permissions(mine(), fs::perms::owner_all, fs::perm_options::replace);
    EXPECT_EQ(privateFolder(env()), mine() + "/");
}

}  // namespace
