// chenxing-fsrs DAYS:GRADE...: one card's answers (days since the previous one, 0 for the first,
// and 0 later for the same day, ten minutes on; grade 1 Again .. 4 Easy), printed as stability,
// difficulty and interval in whole days after each, 0 while the card is in a learning step.
#include <charconv>
#include <cstdio>
#include <string_view>
#include <vector>

#include "review/fsrs.h"

namespace {

struct Answer {
    long long days = 0;
    int grade = 0;
};

template <typename T>
bool parseWhole(std::string_view text, T& value)
{
    const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
    return error == std::errc{} && end == text.data() + text.size();
}

bool parse(std::string_view arg, Answer& answer)
{
    const auto colon = arg.find(':');
    return colon != std::string_view::npos && parseWhole(arg.substr(0, colon), answer.days) &&
           answer.days >= 0 && parseWhole(arg.substr(colon + 1), answer.grade) && answer.grade >= 1 &&
           answer.grade <= 4;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc < 2) {
        std::fputs("usage: chenxing-fsrs DAYS:GRADE...  (days since the previous answer, grade 1-4)\n", stderr);
        return 2;
    }
    std::vector<Answer> answers;
    for (int i = 1; i < argc; ++i) {
        Answer answer;
        if (!parse(argv[i], answer)) {
            std::fprintf(stderr, "chenxing-fsrs: bad answer \"%s\": expected DAYS:GRADE, DAYS >= 0, GRADE 1-4\n",
                         argv[i]);
            return 2;
        }
        answers.push_back(answer);
    }
    review::fsrs::Scheduled card;
    for (const Answer& answer : answers) {
        card = review::fsrs::schedule(card.memory, card.state, card.step, answer.days, static_cast<review::Grade>(answer.grade));
        std::printf("%.8g %.8g %d\n", card.memory.stability, card.memory.difficulty, card.minutes > 0 ? 0 : card.intervalDays);
    }
    return 0;
}
