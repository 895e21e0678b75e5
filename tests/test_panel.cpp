// The summary panel: serial number reader, rows by target and restyle.
#include <filesystem>
#include <string>
#include <vector>

#include "app/serial_number.h"
#include "chart_probe.h"
#include "panel/draw_config_chart.h"

namespace {

std::vector<std::string> panel_texts(const panel_t &panel)
{
    std::vector<std::string> out;
    for (Evas_Object *o : objects(panel.config_text_list))
        out.push_back(text(o));
    return out;
}

class Panel : public ::testing::Test {
protected:
    analyzer_root device;
    const std::string &root_path = device.dir.path;
    panel_t panel;
    static void SetUpTestSuite() { ensure_headless_efl(); }
    void SetUp() override
    {
        setenv("ANALYZER_ROOT", root_path.c_str(), 1);
        job.target = init_reference();
        job.white.measured = true;
    }
    void TearDown() override { del_config_chart(panel), unsetenv("ANALYZER_ROOT"); }
    std::string draw()
    {
        return output_of([this] {
            draw_config_chart(panel, job, serial_number_value(read_serial_number()).c_str(), sensor_id);
        });
    }
    job_t job;
    int32_t sensor_id = 0;
};

const std::string R = "<font_size=16 align=right>";
const std::string L = "<font_size=16 align=left>";

}  // namespace

TEST_F(Panel, SerialNumberFromTheReadersLastLine)
{
    struct reader_case {
        const char *script;  // null: no reader installed
        const char *out;
        std::string value;
    } const cases[] = {
        {"[ \"$1\" = SN ] && echo SN=A1B2C3\n", "SN len = 10, SN=A1B2C3\n\r\n", R + "A1B2C3\n"},
        // The last line without a newline still ends in its digit.
        {"printf SN=A1B2C3\n", "SN len = 9, SN=A1B2C3\r\n", R + "A1B2C3"},
        {"echo '## Error: \"SN\" not defined'\n", "SN len = 27, ## Error: \"SN\" not defined\n\r\nSN none, clear.\r\n", R},
        {"echo SN=OLD1234567\necho SN=42\n", "SN len = 14, SN=OLD1234567\n\r\nSN len = 6, SN=42\n\r\n", R + "42\n"},
        {"echo SN=ABCDEFGH\necho 7\n", "SN len = 12, SN=ABCDEFGH\n\r\nSN len = 2, 7\n\r\n", R},
        {nullptr, "SN none, clear.\r\n", R},
    };
    for (const reader_case &c : cases) {
        SCOPED_TRACE(c.out);
        std::filesystem::remove(root_path + "/opt/bin/fw_printenv");
        if (c.script != nullptr)
            device.serial_reader(c.script);
        EXPECT_EQ(draw(), c.out);
        EXPECT_EQ(panel_texts(panel)[1], c.value);
    }
}

TEST_F(Panel, SdrRowsAndLegend)
{
    job.target.test_type = EOTF_BT1886;
    job.white.bright_Y = 123.456789f;
    sensor_id = 5;
    draw();
    std::vector<std::string> t = panel_texts(panel);
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
    job.target.test_type = EOTF_HLG;
    job.white.bright_Y = 100.0f;
    draw();
    std::vector<std::string> t = panel_texts(panel);
    ASSERT_EQ(t.size(), 27u);
    EXPECT_EQ(t[7], R + "HLG");
    EXPECT_EQ(t[11], R + "100 cd/m²");
    EXPECT_EQ(t[18], R + "Avg dE2000 ≤ 1.5");
    EXPECT_EQ(t[20], R + "Avg dEICTCP ≤ 2.0");
    EXPECT_EQ(t[21], L + "EOTF Diff");
    EXPECT_EQ(t[22], R + "Max ≤ 0.05");
    EXPECT_EQ(t[26], "<color=rgb(160,160,160)><font_size=16 align=center>Fail:   <color>");

    // A job without a grayscale patch has no white level to show. A second
    // draw replaces the first.
    job.white.measured = false;
    draw();
    EXPECT_EQ(panel_texts(panel).size(), 27u);
    EXPECT_EQ(panel_texts(panel).at(11), R + "--");
}

TEST_F(Panel, RestyleTurnsLabelsBlackAndTitleDarkGrey)
{
    draw();
    int marker = 0;
    change_config_text_style(panel, nullptr, 1);  // ignored
    Evas_Object *label = objects(panel.config_text_list)[0];
    EXPECT_EQ(colour(label), "255,255,255");
    change_config_text_style(panel, &marker, 1);
    EXPECT_EQ(colour(label), "0,0,0");
}
