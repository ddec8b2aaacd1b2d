/* SyBase example source */
declare @Integer        int

/* Good for positive numbers only. */
select @Integer = 1000

select "Positives Only" =
  right(replicate("0",12) + 
    convert(varchar, @Integer),12)

/* Good for positive and negative numbers. */
select @Integer = -1000

select "Both Signs" =
  substring( "- +", (sign(@Integer) + 2), 1) +
  right(replicate("0",12) + 
    convert(varchar, abs(@Integer)),12)

select @Integer = 1000

select "Both Signs" =
  substring( "- +", (sign(@Integer) + 2), 1) +
  right(replicate("0",12) + 
    convert(varchar, abs(@Integer)),12)

go