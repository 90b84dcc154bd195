#pragma once

// Lists the dictionary must hold, as the program's users were promised them.
namespace testsupport {

// The word list, in its order: alphabetical without regard to case.
inline constexpr const char* kWordList =
    "absolute accident account ache achieve acid active actual admit adopt affect afraid Africa "
    "afterwards alcohol also aluminium angel annual appoint April Asia Atlantic avoid axis back bacteria "
    "bank bare barren battle beach bellow best bid billion bitter blush boast boil bomb bosom bribe bride "
    "brief build burn bus cadre cafe cancel care career chain chamber chat cheer chew chief child China "
    "chop clarify cold colleague command common comrade condition consider cordial cost counsel cripple "
    "crisis cruise cultivate damp dance danger dawn debt decent decide defend defy delight desire detail "
    "devil diamond diary discuss dive dress dull dusk earnest edit elbow emperor end endow engage entire "
    "entreat errand estimate excess excite excuse exhibit exploit fabric faculty fair faith fan farm "
    "father fatigue fear feed feel fight final first fish flame follow forest fridge fright fruit game "
    "garden genius govern grateful grind half handle happy hard harm harvest haul head hear heat "
    "helicopter help hope howl hydrogen idea idiom idol India internet irony island issue itch jail "
    "journey kidnap kindle kiss knave kneel lag lass league leisure like liquid listen live lock lose "
    "love luggage lump machine magic magnify make manual marry marshal meadow medal melon merry miracle "
    "miser missile moan model motto much muscle mutter naked naughty neck need neglect news nonsense norm "
    "number office often oil opium oral ore other pain pair paradise pause persuade pest petty pink "
    "pledge pocket ponder preach predict price prohibit proud provoke quiet radar raid rare rate react "
    "read receive reckon refuse remit reply resign retail road rogue roll rumor sale satisfy Saturday "
    "scold scout scrap second self serious share should shriek silk silver sing sire sister skill slave "
    "slit small smell smile snail sneer sorrow speak square stain stream strict strip subdue swing tack "
    "tall taste taxi teach tear thirst tide tiger tire tobacco toil trade tribe tutor twice ultimate "
    "uncle update use usual vegetable village vote waist wait welcome what widower width wool wrist yearn "
    "youth zebra ";

// Keys of the typed lookup that have a phonetic line but no entry of their own.
inline constexpr const char* kPhoneticOnly =
    "absolutely accidental accountant achievement activate activity actually adoption affection African "
    "african alike alive appointment Asian asian background backward banker battleship boiler bomber "
    "briefly builder burner careful carefully careless chatter cheerful cheerfully chiefly childhood "
    "childish commander commonplace conditional considerable considerably consideration cruiser dangerous "
    "defender delightful desirable discussion dislike diver edition editor endless engagement entirely "
    "excessive excitation excitement exciting exhibition exploitation fabricate fabrication fairly "
    "faithful faithfully farmer fatherly fearful fearless feeling fighter finally fisher fisherman "
    "follower following forester frighten frightful fruitful gardener government governor happiness "
    "harden hardly hardness hardship hardware harmful harmless headache heading headline headmaster "
    "heater helpful helpless hopeful hopeless ideal idealism idealist ideally Indian indian likely "
    "listener lively liver living lovely lover maker normal normally officer painful prediction "
    "prohibition rarely reaction reactor reader reading receiver resignation roadside roller secondary "
    "singer skillful sorrowful speaker stainless strictly teacher tearful toiler trader ultimately "
    "uncommon undesirable unfair unhappy unlike unlikely unlock unusual useful useless user usually voter "
    "waiter youthful ";

// The story glossary's keys, in table order.
inline constexpr const char* kGlossaryKeys =
    "manner Mary mary the a beer rap downstairs well built win easy up certainly Tasmin tasmin pa animal "
    "with four leg name two which have hen what go to neighbor daughter when she graduate mother old lady "
    "August august year every answer do elephant that no other pupil little betty birthday teacher your "
    "Tommy Jimmy tommy jimmy bulldog Co-worker CEO co-worker ceo Uh Susie Roy Tom Ann Johnny Cuthbert Mum "
    "John Geoffrey uh susie roy tom ann johnny cuthbert mum john geoffrey cow five thing contain milk "
    "button and is an be unexpected cheese ice cream each so you are father of twin who they look like "
    "excite parent patience angler watch me for three hour now why not try yourself onlooker I i get "
    "correct word use most often at school know make face feces small child wait he start it swear die if "
    "refuse marry shall him sixty later millionaire my wife made out assistant were before "
    "multimillionaire absolute zero student think deserve professor neither but lowest mark am allow give "
    "done anything take week notice sack play pay lightning can tell difference between electricity about "
    "great scientist century yes sir all dead will first woman here magazine how off second good those "
    "illegal just right hand turn okay dad policeman behind same reason stone earth round ma say need "
    "madam said salesman after show his company product home money on desk shout gentleman order entire "
    "class yell see doctor come as soon possible had ill carry her breakfast idiot mean by everyone sorry "
    "was suppose secret dance short funny time seem very fiance leader orchestra sign bottom where "
    "declaration independence guess never strike place twice because struck once there any more plural "
    "form man perhaps customer waiter find oyster in this stew expect angel food cake hair misbehave "
    "another gosh mom must terror grandma gray fish net lot hole tie together string reply girl ditch "
    "mike manage crash car jack over new horse nice everywhen we jump stop let hospital stand middle busy "
    "street officer hope son forget learn college certain live kiss type improve only seven mistake "
    "seventeen sentence ugly aunt embarrass ask mask party wear one talk yet brother permission secretary "
    "feel boss henpeck commit suicide being late morning corner guidepost slow conduct courtesy report "
    "whenever punch someone apologize black note piano till wash filthy even pocket empty still something "
    "Rome night told day next please neck ear honest happen again French french difficult boy begin "
    "become latter half cheer willie grandfather sick bit soldier funeral comparison card high salary "
    "office dean back leave people least February february month save coal economical housewife stove "
    "quantity whole since work theater free ticket then bring few from bank ";

} // namespace testsupport
