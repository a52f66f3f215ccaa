// The parts the program loads on first use: the download calls and the
// sound output come from their module files through the platform layer, and
// a module that is missing, broken or lacks its function gives a reason
// naming what was tried, never a crash.

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <cstring>

#include "app/curl_calls.h"
#include "app/platform.h"

namespace vornel::app::platform {
namespace {

#ifdef VORNEL_MODULES

// The directories an installed program searches depend on its own folder.
QCoreApplication& application() {
    static int argc = 1;
    static char name[] = "app_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

// The folder of the build's modules: the one of the program's search
// folders that holds the download module.
QString builtModuleFolder() {
    application();
    for (const QString& folder : moduleDirectories())
        if (QFile::exists(folder + "/vornel-download.so")) return folder;
    return {};
}

TEST(Modules, TheProgramFindsBothOfItsModules) {
    const QString folder = builtModuleFolder();
    ASSERT_FALSE(folder.isEmpty()) << moduleDirectories().join(", ").toStdString();
    struct Case {
        const char* module;
        const char* function;
    };
    for (const Case& c : {Case{"vornel-download", "vornel_curl_calls"}, Case{"vornel-sound", "vornel_make_sound_device"}}) {
        SCOPED_TRACE(c.module);
        const ModuleFunction found = moduleFunction(c.module, c.function);
        EXPECT_NE(found.address, nullptr);
        EXPECT_TRUE(found.error.isEmpty()) << found.error.toStdString();
    }
}

TEST(Modules, TheDownloadModuleHandsOverWorkingLibcurlCalls) {
    const ModuleFunction entry = moduleFunction("vornel-download", "vornel_curl_calls");
    ASSERT_NE(entry.address, nullptr) << entry.error.toStdString();
    const CurlCalls* calls = reinterpret_cast<decltype(&vornel_curl_calls)>(entry.address)();
    ASSERT_NE(calls, nullptr);
    // Asked twice, the module hands out the same table.
    EXPECT_EQ(calls, reinterpret_cast<decltype(&vornel_curl_calls)>(entry.address)());
    EXPECT_STREQ(calls->easyStrerror(CURLE_OK), "No error");
    // A list built and freed through the table: the calls reach libcurl.
    curl_slist* list = calls->slistAppend(nullptr, "Accept: */*");
    ASSERT_NE(list, nullptr);
    EXPECT_STREQ(list->data, "Accept: */*");
    EXPECT_EQ(list->next, nullptr);
    calls->slistFreeAll(list);
    CURL* easy = calls->easyInit();
    ASSERT_NE(easy, nullptr);
    EXPECT_EQ(calls->easySetopt(easy, CURLOPT_URL, "http://127.0.0.1:1/"), CURLE_OK);
    long status = -1;
    EXPECT_EQ(calls->easyGetinfo(easy, CURLINFO_RESPONSE_CODE, &status), CURLE_OK);
    EXPECT_EQ(status, 0);
    calls->easyCleanup(easy);
}

TEST(Modules, AModuleThatCannotBeHadIsReportedWithWhatWasTried) {
    const QString built = builtModuleFolder();
    ASSERT_FALSE(built.isEmpty());
    QTemporaryDir empty, broken;
    ASSERT_TRUE(empty.isValid() && broken.isValid());
    // Not a library at all, under the module's name.
    QFile garbage(broken.filePath("vornel-download.so"));
    ASSERT_TRUE(garbage.open(QIODevice::WriteOnly));
    garbage.write("this is not a shared library\n");
    garbage.close();
    struct Case {
        const char* what;
        const char* module;
        const char* function;
        QStringList folders;
        bool found;
        QString reasonMentions;
    };
    const Case cases[] = {
        {"no folder", "vornel-download", "vornel_curl_calls", {}, false, "vornel-download.so"},
        {"not in the folder", "vornel-download", "vornel_curl_calls", {empty.path()}, false, empty.path()},
        {"not a library", "vornel-download", "vornel_curl_calls", {broken.path()}, false, broken.path()},
        {"lacks the function", "vornel-sound", "vornel_curl_calls", {built}, false, "vornel_curl_calls"},
        {"a later folder has it", "vornel-download", "vornel_curl_calls", {empty.path(), broken.path(), built}, true, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        const ModuleFunction result = moduleFunction(c.module, c.function, c.folders);
        EXPECT_EQ(result.address != nullptr, c.found);
        if (c.found) {
            EXPECT_TRUE(result.error.isEmpty()) << result.error.toStdString();
        } else {
            EXPECT_TRUE(result.error.contains(c.reasonMentions)) << result.error.toStdString();
        }
    }
}

#else

TEST(Modules, LinkedInWhereThereAreNoModules) {
    EXPECT_STREQ(vornel_curl_calls()->easyStrerror(CURLE_OK), "No error");
}

#endif

}  // namespace
}  // namespace vornel::app::platform
