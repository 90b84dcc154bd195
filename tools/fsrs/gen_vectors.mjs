// Prints FSRS vectors from ts-fsrs for tests/review/test_fsrs.cpp: one card per line,
// each review as DAYS:GRADE=STABILITY,DIFFICULTY,INTERVAL.
// node gen_vectors.mjs         long-term intervals only (enable_short_term false)
// node gen_vectors.mjs short   same-day learning steps 1m 10m, relearning 10m; DAYS 0 is the
//                              same day, ten minutes after the previous answer; INTERVAL 0 in a step
import { createEmptyCard, FSRSVersion, fsrs } from 'ts-fsrs'

const shortTerm = process.argv[2] === 'short'
const scheduler = fsrs({ enable_fuzz: false, enable_short_term: shortTerm, learning_steps: ['1m', '10m'], relearning_steps: ['10m'] })
const DAY_MS = 24 * 60 * 60 * 1000
const STEP_MS = 10 * 60 * 1000

// mulberry32: the same cards on every run and every machine
let seed = 20240607
function random() {
  seed = (seed + 0x6d2b79f5) | 0
  let t = seed
  t = Math.imul(t ^ (t >>> 15), t | 1)
  t ^= t + Math.imul(t ^ (t >>> 7), t | 61)
  return ((t ^ (t >>> 14)) >>> 0) / 4294967296
}
const below = (n) => Math.floor(random() * n)

// Mostly on time, with same-day repeats, early and late reviews and gaps of years.
function gap(scheduled) {
  const kind = random()
  if (kind < 0.15) return 0
  if (kind < 0.3) return 1 + below(5)
  if (kind < 0.75) return Math.max(1, scheduled + below(5) - 2)
  if (kind < 0.9) return scheduled * (2 + below(4))
  return 300 + below(5000)
}

function grade() {
  const g = random()
  return g < 0.2 ? 1 : g < 0.35 ? 2 : g < 0.85 ? 3 : 4
}

if (shortTerm) {
  console.log(`# FSRS-6 vectors from ts-fsrs ${FSRSVersion}: default parameters, retention 0.9, no fuzz, enable_short_term true,`)
  console.log('# learning steps 1m 10m, relearning step 10m. A line is one card: DAYS:GRADE=STABILITY,DIFFICULTY,INTERVAL per')
  console.log('# review; DAYS since the previous review, 0 = the same day ten minutes later; INTERVAL 0 while in a step.')
  console.log('# Regenerate: cd tools/fsrs && npm ci && node gen_vectors.mjs short > ../../tests/review/data/fsrs_short_term_vectors.txt')
} else {
  console.log(`# FSRS-6 vectors from ts-fsrs ${FSRSVersion}: default parameters, retention 0.9, no fuzz, enable_short_term false.`)
  console.log('# A line is one card: DAYS:GRADE=STABILITY,DIFFICULTY,INTERVAL per review; DAYS since the previous review.')
  console.log('# Regenerate: cd tools/fsrs && npm ci && node gen_vectors.mjs > ../../tests/review/data/fsrs_vectors.txt')
}

const start = Date.UTC(2024, 0, 1)
for (let c = 0; c < 400; c++) {
  let card = createEmptyCard(new Date(start))
  let at = 0
  const steps = []
  const reviews = 1 + below(15)
  for (let i = 0; i < reviews; i++) {
    const days = i === 0 ? 0 : gap(card.scheduled_days)
    at += shortTerm && i > 0 && days === 0 ? STEP_MS : days * DAY_MS
    const g = grade()
    card = scheduler.next(card, new Date(start + at), g).card
    steps.push(`${days}:${g}=${card.stability},${card.difficulty},${card.scheduled_days}`)
  }
  console.log(steps.join(' '))
}
