// The summary panel: serial number reader, rows by target and restyle.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>
#include <vector>

#include "config/configure.h"
#include "config/reference.h"
#include "panel/draw_config_chart.h"
#include "test_support.h"

namespace {

std::vector<std::string> panel_texts(size_t from)
{
    std::vector<std::string> out;
    Eina_List *l;
    void *o;
    size_t i = 0;
    EINA_LIST_FOREACH(get_config_text_list(), l, o) {
        if (i++ >= from) {
            const char *t = elm_object_text_get(static_cast<Evas_Object *>(o));
            out.push_back(t != nullptr ? t : "");
        }
    }
    return out;
}

class Panel : public ::testing::Test {
protected:
    analyzer_root device;
    const std::string &root_path = device.dir.path;
    size_t first = 0;
    static void SetUpTestSuite() { ensure_headless_efl(); }
    void SetUp() override
    {
        setenv("ANALYZER_ROOT", root_path.c_str(), 1);
        init_reference();
        first = eina_list_count(get_config_text_list());
    }
    void TearDown() override { unsetenv("ANALYZER_ROOT"); }
    void reader(const std::string &script)
    {
        const std::string path = root_path + "/opt/bin/fw_printenv";
        write_file(path, "#!/bin/sh\n" + script);
        chmod(path.c_str(), 0755);
    }
    std::string draw()
    {
        testing::internal::CaptureStdout();
        draw_config_chart();
        return testing::internal::GetCapturedStdout();
    }
};

const std::string R = "<font_size=16 align=right>";
const std::string L = "<font_size=16 align=left>";

}  // namespace

TEST_F(Panel, SerialNumberFromReader)
{
    reader("[ \"$1\" = SN ] && echo SN=A1B2C3\n");
    std::string out = draw();
    EXPECT_EQ(out, "SN len = 10, SN=A1B2C3\n\r\n");
    std::vector<std::string> t = panel_texts(first);
    ASSERT_GE(t.size(), 2u);
    EXPECT_EQ(t[0], L + "Serial Number:");
    EXPECT_EQ(t[1], R + "A1B2C3\n");
}

TEST_F(Panel, LineEndingInALetterClearsTheSerialNumber)
{
    reader("echo '## Error: \"SN\" not defined'\n");
    std::string out = draw();
    EXPECT_NE(out.find("SN none, clear.\r\n"), std::string::npos);
    EXPECT_EQ(panel_texts(first)[1], R);
}

TEST_F(Panel, OnlyTheLastOfTwoLinesRemains)
{
    reader("echo SN=OLD1234567\necho SN=42\n");
    std::string out = draw();
    EXPECT_EQ(out, "SN len = 14, SN=OLD1234567\n\r\nSN len = 6, SN=42\n\r\n");
    EXPECT_EQ(panel_texts(first)[1], R + "42\n");
}

TEST_F(Panel, ShortLastLineShowsNothingOfAnEarlierLine)
{
    reader("echo SN=ABCDEFGH\necho 7\n");
    draw();
    EXPECT_EQ(panel_texts(first)[1], R);
}

TEST_F(Panel, MissingReaderLeavesTheRowEmpty)
{
    std::string out = draw();
    EXPECT_EQ(out, "SN none, clear.\r\n");
}

TEST_F(Panel, SdrRowsAndLegend)
{
    reference->test_type = 1;
    reference->white_level = 123.456789f;
    sensor_id = 5;
    draw();
    sensor_id = 0;
    std::vector<std::string> t = panel_texts(first);
    ASSERT_EQ(t.size(), 2u * 6 + 3 + 2 * 5 + 2);
    EXPECT_EQ(t[3], R + "CA-410");
    EXPECT_EQ(t[5], R + "DCI-P3");
    EXPECT_EQ(t[7], R + "Gamma 2.4");
    EXPECT_EQ(t[9], R + "D65");
    EXPECT_EQ(t[11], R + "123.457 cd/m²");
    EXPECT_EQ(t[12], "   ");
    EXPECT_EQ(t[15], L + "Industry Standards");
    EXPECT_EQ(t[16], R + "dE ≤ 3");
    EXPECT_EQ(t[18], R + "Avg dE ≤ 1.5");
    EXPECT_EQ(t[19], L + "Total Gamma");
    EXPECT_EQ(t[20], R + "2.4 ± 0.1");
    EXPECT_EQ(t[22], R + "Max dE ≤ 2.5");
    EXPECT_EQ(t[25], "<font_size=16 align=center>Pass:   ");
    EXPECT_EQ(t[26], "<font_size=16 align=center>Fail:   ");
}

TEST_F(Panel, HdrRowsWithGreyFail)
{
    reference->test_type = 3;
    reference->white_level = 100.0f;
    draw();
    std::vector<std::string> t = panel_texts(first);
    ASSERT_EQ(t.size(), 27u);
    EXPECT_EQ(t[7], R + "HLG");
    EXPECT_EQ(t[11], R + "100 cd/m²");
    EXPECT_EQ(t[18], R + "Avg dE2000 ≤ 1.5");
    EXPECT_EQ(t[20], R + "Avg dEICTCP ≤ 2.0");
    EXPECT_EQ(t[21], L + "EOTF Diff");
    EXPECT_EQ(t[22], R + "Max ≤ 0.05");
    EXPECT_EQ(t[26], "<color=rgb(160,160,160)><font_size=16 align=center>Fail:   <color>");
}

TEST_F(Panel, RestyleTurnsLabelsBlackAndTitleDarkGrey)
{
    draw();
    int marker = 0;
    change_config_text_style(nullptr, 1);  // ignored
    Evas_Object *label = static_cast<Evas_Object *>(eina_list_data_get(get_config_text_list()));
    int r, g, b, a;
    evas_object_color_get(label, &r, &g, &b, &a);
    EXPECT_EQ(r, 255);
    change_config_text_style(&marker, 1);
    evas_object_color_get(label, &r, &g, &b, &a);
    EXPECT_EQ(r, 0);
    change_config_text_style(&marker, 0);
    evas_object_color_get(label, &r, &g, &b, &a);
    EXPECT_EQ(r, 255);
}
