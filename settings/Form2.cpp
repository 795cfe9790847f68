#include "settings/Form2.h"

#include "app/Program.h"
#include "resources/Form2Layout.h"

namespace settings {

namespace layout = resources::form2;

Form2::Form2(app::Program& program)
    : Form(program.services, layout::kForm),
      Frame1_0(*this, layout::kFrame1_0),
      Text1(*this, layout::kText1),
      Option1_0(*this, layout::kOption1_0),
      Option1_1(*this, layout::kOption1_1),
      Option1_2(*this, layout::kOption1_2),
      Option1_3(*this, layout::kOption1_3),
      Command1_0(*this, layout::kCommand1_0),
      Command1_1(*this, layout::kCommand1_1),
      SetEndButton(*this, layout::kSetEndButton),
      Frame1_1(*this, layout::kFrame1_1),
      Frame1_2(*this, layout::kFrame1_2),
      Label1(*this, layout::kLabel1),
      Label2(*this, layout::kLabel2),
      Label3(*this, layout::kLabel3),
      Frame5(*this, layout::kFrame5),
      Option3_0(*this, layout::kOption3_0),
      Option3_1(*this, layout::kOption3_1),
      Command1_2(*this, layout::kCommand1_2),
      Command1_3(*this, layout::kCommand1_3),
      Frame6(*this, layout::kFrame6),
      Check3(*this, layout::kCheck3),
      Check4(*this, layout::kCheck4),
      program_(program),
      state_(program.state) {
    for (forms::Frame* f : {&Frame1_0, &Frame1_1, &Frame1_2}) Frame1.Add(*f);
    for (forms::OptionButton* o : {&Option1_0, &Option1_1, &Option1_2, &Option1_3}) {
        Option1.Add(*o);
        o->Click = [this, o] { Option1_Click(static_cast<std::int16_t>(o->Index())); };
    }
    for (forms::OptionButton* o : {&Option3_0, &Option3_1}) Option3.Add(*o);
    for (forms::CommandButton* c : {&Command1_0, &Command1_1, &Command1_2, &Command1_3}) {
        Command1.Add(*c);
        c->Click = [this, c] { Command1_Click(static_cast<std::int16_t>(c->Index())); };
    }
}

}  // namespace settings
