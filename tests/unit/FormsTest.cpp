// The form runtime's own rules, which the behaviour leans on: option groups,
// check box values, indexed groups, loading afresh, and twips.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Fakes.h"
#include "forms/Contain.h"
#include "forms/Failure.h"
#include "forms/Twips.h"
#include "resources/Form2Layout.h"
#include "resources/Form4Layout.h"
#include "resources/Form5Layout.h"

using testing::ElementsAre;

namespace {

class Dialog : public forms::Form {
public:
    explicit Dialog(forms::Services& s) : Form(s, resources::form2::kForm) {
        a.Click = [this] { clicks.push_back("a"); };
        b.Click = [this] { clicks.push_back("b"); };
        other.Click = [this] { clicks.push_back("other"); };
        check.Click = [this] { clicks.push_back("check" + std::to_string(check.Value())); };
        group.Add(a);
        group.Add(b);
    }
    forms::OptionButton a{*this, resources::form2::kOption1_0};
    forms::OptionButton b{*this, resources::form2::kOption1_1};
    forms::OptionButton other{*this, resources::form2::kOption3_0};
    forms::CheckBox check{*this, resources::form2::kCheck3};
    forms::TextBox text{*this, resources::form2::kText1};
    forms::ControlArray<forms::OptionButton> group;
    std::vector<std::string> clicks;
    int loads = 0;

protected:
    void Form_Load() override { ++loads; }
};

class Forms : public testing::Test {
protected:
    fakes::Log log;
    fakes::FakeServices services{log};
    Dialog dialog{services};
};

TEST_F(Forms, SelectingAnOptionClicksOnceAndClearsItsContainerOnly) {
    dialog.other.SetValue(true);
    dialog.a.SetValue(true);
    dialog.a.SetValue(true);  // already selected: no click
    dialog.b.SetValue(true);
    EXPECT_THAT(dialog.clicks, ElementsAre("other", "a", "b"));
    EXPECT_FALSE(dialog.a.Value());
    EXPECT_TRUE(dialog.other.Value());
}

TEST_F(Forms, CheckBoxTakesZeroToTwoAndClicksOnChange) {
    dialog.check.SetValue(1);
    dialog.check.SetValue(1);
    dialog.check.SetValue(2);
    EXPECT_THROW(dialog.check.SetValue(3), forms::Failure);
    EXPECT_THROW(dialog.check.SetValue(-1), forms::Failure);
    EXPECT_EQ(dialog.check.Value(), 2);
    EXPECT_THAT(dialog.clicks, ElementsAre("check1", "check2"));
}

TEST_F(Forms, AMissingGroupMemberIsARunTimeError) {
    EXPECT_EQ(&dialog.group(1), &dialog.b);
    EXPECT_THROW(dialog.group(2), forms::Failure);
    EXPECT_THROW(dialog.group(-1), forms::Failure);
}

TEST_F(Forms, LoadRunsOnceAndAFreshLoadStartsFromTheLayout) {
    dialog.Load();
    dialog.Load();
    dialog.text.SetText("X");
    dialog.a.SetValue(true);
    dialog.SetLeft(999);
    dialog.Unload();
    EXPECT_FALSE(dialog.Loaded());
    dialog.Load();
    EXPECT_EQ(dialog.loads, 2);
    EXPECT_EQ(dialog.text.Text(), "");
    EXPECT_FALSE(dialog.a.Value());
    EXPECT_EQ(dialog.Left(), 0);
    EXPECT_THAT(log.Only({"Load", "Destroy"}), ElementsAre("Load(Form2)", "Destroy(Form2)", "Load(Form2)"));
}

TEST_F(Forms, ChangesReachTheWindowOnlyOnceLoaded) {
    dialog.a.SetLeft(10);
    EXPECT_TRUE(log.calls.empty());
    EXPECT_EQ(dialog.a.hWnd(), 0);
    dialog.Load();
    dialog.a.SetLeft(20);
    EXPECT_THAT(log.Only({"Option1"}), ElementsAre("Option1(0).Left=20"));
    EXPECT_NE(dialog.a.hWnd(), 0);
}

TEST(Twips, RoundToNearestPixelBothWays) {
    EXPECT_EQ(forms::TwipsToPixels(10, 96), 1);
    EXPECT_EQ(forms::TwipsToPixels(7, 96), 0);
    EXPECT_EQ(forms::TwipsToPixels(-10, 96), -1);
    EXPECT_EQ(forms::TwipsToPixels(-50, 96), -3);
    EXPECT_EQ(forms::TwipsToPixels(15510, 96), 1034);
    EXPECT_EQ(forms::TwipsToPixels(150, 144), 15);
    EXPECT_EQ(forms::TwipsToPixels(57600, 96), 3840);
    EXPECT_EQ(forms::PixelsToTwips(1024, 96), 15360);
    EXPECT_EQ(forms::PixelsToTwips(1024, 144), 10240);
    EXPECT_EQ(forms::PixelsToTwips(-3, 96), -45);
    for (int dpi : {96, 120, 144, 192})
        for (int px = -50; px < 4000; ++px) ASSERT_EQ(forms::TwipsToPixels(forms::PixelsToTwips(px, dpi), dpi), px);
}

// A dialog's table: every control inside its container, at the usual
// screen densities, so no caption is cut off by a frame's or the form's edge.
void ExpectInsideContainers(const forms::FormTraits& form, std::initializer_list<const forms::ControlTraits*> rows) {
    auto frame = [&](const char* name) -> const forms::ControlTraits* {
        for (const forms::ControlTraits* r : rows) {
            std::string full = r->index < 0 ? r->name : std::string(r->name) + "(" + std::to_string(r->index) + ")";
            if (full == name) return r;
        }
        return nullptr;
    };
    for (int dpi : {96, 120, 144, 192}) {
        auto px = [dpi](int t) { return forms::TwipsToPixels(t, dpi); };
        for (const forms::ControlTraits* r : rows) {
            int w = form.clientWidth, h = form.clientHeight;
            if (r->container) {
                const forms::ControlTraits* f = frame(r->container);
                ASSERT_NE(f, nullptr) << r->container;
                w = f->width;
                h = f->height;
            }
            SCOPED_TRACE(std::string(form.name) + "." + r->name + " at " + std::to_string(dpi));
            EXPECT_GE(px(r->left), 0);
            EXPECT_GE(px(r->top), 0);
            EXPECT_LE(px(r->left) + px(r->width), px(w));
            EXPECT_LE(px(r->top) + px(r->height), px(h));
        }
    }
}

TEST(DialogLayouts, EveryControlLiesInsideItsContainerAtEveryDpi) {
    {
        namespace l = resources::form2;
        ExpectInsideContainers(l::kForm, {&l::kFrame1_0, &l::kText1, &l::kOption1_0, &l::kOption1_1, &l::kOption1_2,
                                          &l::kOption1_3, &l::kCommand1_0, &l::kCommand1_1, &l::kSetEndButton,
                                          &l::kFrame1_1, &l::kFrame1_2, &l::kLabel1, &l::kLabel2, &l::kLabel3,
                                          &l::kFrame5, &l::kOption3_0, &l::kOption3_1, &l::kCommand1_2,
                                          &l::kCommand1_3, &l::kFrame6, &l::kCheck3, &l::kCheck4, &l::kCheck5,
                                          &l::kMoreButton});
    }
    {
        namespace l = resources::form4;
        ExpectInsideContainers(l::kForm, {&l::kFile1, &l::kText1, &l::kCommand1_0, &l::kCommand1_1, &l::kCommand2,
                                          &l::kLabel1, &l::kCommand3, &l::kImage1});
    }
    {
        namespace l = resources::form5;
        ExpectInsideContainers(l::kForm, {&l::kCheck1, &l::kCheck2, &l::kCheck3, &l::kText1, &l::kLabel1, &l::kCheck4,
                                          &l::kText2, &l::kLabel2, &l::kCommand1_0, &l::kCommand1_1});
    }
}

}  // namespace

namespace {
std::vector<std::string> told;
}

// A failure stopped at a boundary leaves a line in the trace: the place
// that stopped it and the failure's own text. Nothing is told without one.
TEST(Contain, StopsAFailureAndTellsWhereAndWhat) {
    told.clear();
    const auto fail = [] { throw forms::Failure("the file is held"); };
    EXPECT_FALSE(forms::Contain(fail));
    EXPECT_TRUE(told.empty());

    forms::TellStoppedFailures([](std::string_view where, std::string_view what) {
        told.push_back(std::string(where) + " " + std::string(what));
    });
    const int line = __LINE__ + 1;
    EXPECT_FALSE(forms::Contain(fail));
    EXPECT_TRUE(forms::Contain([] {}));
    forms::TellStoppedFailures(nullptr);
    EXPECT_THAT(told, ElementsAre("FormsTest.cpp:" + std::to_string(line) + " the file is held"));
}
